// File access for the commands: reading sources, and outputs that appear whole or not at all.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

#include "platform/varnex_error.h"

namespace varnex {

// Anything the readers can take bytes from, with the name that messages give it.
class CByteSource {
public:
    virtual ~CByteSource() = default;
    // Up to count bytes into buffer; 0 at the end. Throws CVarnexError when the read fails.
    virtual std::size_t Read(char* buffer, std::size_t count) = 0;
    virtual const std::string& Name() const = 0;
    // The bytes it holds in all when it can tell (a regular file, memory), else -1.
    virtual std::int64_t SizeHint() const { return -1; }
};

// Bytes held in memory (tests, the fuzzer).
class CMemorySource : public CByteSource {
public:
    CMemorySource(std::string_view bytes, std::string name);
    std::size_t Read(char* buffer, std::size_t count) override;
    const std::string& Name() const override { return m_name; }
    std::int64_t SizeHint() const override { return static_cast<std::int64_t>(m_bytes.size()); }

private:
    std::string_view m_bytes;
    std::size_t m_pos = 0;
    std::string m_name;
};

// A file opened for reading, closed by Close or by destruction; closing a closed file does nothing.
class CFile : public CByteSource {
public:
    CFile() = default;
    ~CFile() override;
    CFile(const CFile&) = delete;
    CFile& operator=(const CFile&) = delete;

    // Opens path for reading at offset 0; throws CVarnexError naming the file and the system's
    // reason when it cannot (a folder is refused too).
    void OpenForReading(const std::string& path);
    // Moves to an absolute offset; throws CVarnexError when it cannot.
    void Seek(std::int64_t offset);
    std::size_t Read(char* buffer, std::size_t count) override;
    void Close();
    bool IsOpen() const { return m_file != nullptr; }
    const std::string& Name() const override { return m_path; }
    std::int64_t SizeHint() const override { return m_size; }

private:
    std::FILE* m_file = nullptr;
    std::int64_t m_size = -1;  // as the file was at its opening
    std::string m_path;
};

// Where composed text goes.
class COutputSink {
public:
    virtual ~COutputSink() = default;
    virtual void Write(std::string_view bytes) = 0;
};

// Text kept in memory (tests, the fuzzer, the build's segments).
class CStringSink : public COutputSink {
public:
    void Write(std::string_view bytes) override { m_text.append(bytes); }
    const std::string& Text() const { return m_text; }
    // Empties the text and keeps its room, for a sink filled again and again.
    void Clear() { m_text.clear(); }

private:
    std::string m_text;
};

// An output built in a temporary file beside its target and renamed over it by Commit, so the
// target is either untouched or complete. Without Commit the temporary file is removed.
class CAtomicOutput : public COutputSink {
public:
    // Throws CVarnexError naming target when the temporary file cannot be created.
    explicit CAtomicOutput(std::string targetPath);
    ~CAtomicOutput() override;
    CAtomicOutput(const CAtomicOutput&) = delete;
    CAtomicOutput& operator=(const CAtomicOutput&) = delete;

    // Buffered; throws CVarnexError naming the target when the system refuses the bytes.
    void Write(std::string_view bytes) override;
    // Flushes, closes and renames over the target; throws CVarnexError when any step fails.
    void Commit();
    void Discard();

private:
    void Flush();
    void WriteToFile(std::string_view bytes);
    [[noreturn]] void Fail(ERROR_KIND kind, int errorNumber);

    std::string m_target;
    std::string m_tempPath;
    std::FILE* m_file = nullptr;
    std::string m_buffer;
};

// True when both paths name the same existing file (or the same path text when either is missing).
bool IsSameFile(const std::string& a, const std::string& b);
// True when output names an existing file that is one of inputs (the same file under any path:
// a link, "..", another spelling). Cheap: one look at each path.
bool NamesAnyOf(const std::string& output, const std::vector<std::string>& inputs);

// The part of a path after its last folder separator ('/' or '\').
std::string FileNameOf(const std::string& path);
// The path up to and including its last folder separator; empty when it has none.
std::string FolderOf(const std::string& path);

}  // namespace varnex
