#include "platform/file_access.h"

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <random>
#include <system_error>

#include "platform/native_path.h"
#include "platform/varnex_error.h"

#include <sys/stat.h>
#include <sys/types.h>

namespace varnex {

namespace fs = std::filesystem;

namespace {
constexpr std::size_t WRITE_BUFFER_BYTES = 1 << 16;
}  // namespace

CMemorySource::CMemorySource(std::string_view bytes, std::string name)
    : m_bytes(bytes), m_name(std::move(name)) {}

std::size_t CMemorySource::Read(char* buffer, std::size_t count) {
    std::size_t n = std::min(count, m_bytes.size() - m_pos);
    std::memcpy(buffer, m_bytes.data() + m_pos, n);
    m_pos += n;
    return n;
}

CFile::~CFile() { Close(); }

void CFile::OpenForReading(const std::string& path) {
    Close();
    errno = 0;
    m_file = OpenFileUtf8(path, "rb");
    if (m_file == nullptr) {
        int err = errno != 0 ? errno : ENOENT;
        std::error_code ec;
        if (err == EISDIR || fs::is_directory(PathFromUtf8(path), ec)) {
            throw CVarnexError(ERROR_KIND::READ_FOLDER, path, 0);
        }
        throw CVarnexError(ERROR_KIND::OPEN_FAILED, path, 0, {}, err);
    }
    m_size = -1;
#ifndef _WIN32
    // A folder opens for reading here; asking the open file costs no second look at the path.
    struct stat st;
    if (::fstat(fileno(m_file), &st) == 0) {
        if (S_ISDIR(st.st_mode)) {
            Close();
            throw CVarnexError(ERROR_KIND::READ_FOLDER, path, 0);
        }
        if (S_ISREG(st.st_mode)) m_size = static_cast<std::int64_t>(st.st_size);
    }
#else
    struct _stati64 st;
    if (_fstati64(_fileno(m_file), &st) == 0 && (st.st_mode & _S_IFREG) != 0) {
        m_size = static_cast<std::int64_t>(st.st_size);
    }
#endif
    m_path = path;
}

void CFile::Seek(std::int64_t offset) {
#ifdef _WIN32
    bool failed = m_file == nullptr || _fseeki64(m_file, offset, SEEK_SET) != 0;
#else
    bool failed = m_file == nullptr || fseeko(m_file, static_cast<off_t>(offset), SEEK_SET) != 0;
#endif
    if (failed) {
        throw CVarnexError(ERROR_KIND::SEEK_FAILED, m_path, 0, {}, errno != 0 ? errno : EIO);
    }
}

std::size_t CFile::Read(char* buffer, std::size_t count) {
    if (m_file == nullptr) throw CVarnexError(ERROR_KIND::FILE_NOT_OPEN, m_path, 0);
    std::size_t n = std::fread(buffer, 1, count, m_file);
    if (n < count && std::ferror(m_file)) {
        throw CVarnexError(ERROR_KIND::READ_FAILED, m_path, 0, {}, errno != 0 ? errno : EIO);
    }
    return n;
}

void CFile::Close() {
    if (m_file != nullptr) {
        std::fclose(m_file);
        m_file = nullptr;
    }
}

CAtomicOutput::CAtomicOutput(std::string targetPath) : m_target(std::move(targetPath)) {
    std::error_code ec;
    if (fs::is_directory(PathFromUtf8(m_target), ec)) {
        throw CVarnexError(ERROR_KIND::WRITE_FOLDER, m_target, 0);
    }
    std::random_device rd;
    for (int attempt = 0; attempt < 16 && m_file == nullptr; ++attempt) {
        m_tempPath = m_target + ".tmp-" + std::to_string(rd() % 1000000);
        errno = 0;
        // "x": never reuse a file that happens to exist under that name.
        m_file = OpenFileUtf8(m_tempPath, "wbx");
        if (m_file == nullptr && errno != EEXIST) break;
    }
    if (m_file == nullptr) {
        int err = errno != 0 ? errno : EIO;
        m_tempPath.clear();
        throw CVarnexError(ERROR_KIND::CREATE_FAILED, m_target, 0, {}, err);
    }
    // The bytes are gathered here, 64 KB at a time: a stdio buffer would only copy them again.
    std::setvbuf(m_file, nullptr, _IONBF, 0);
    m_buffer.reserve(WRITE_BUFFER_BYTES);
}

CAtomicOutput::~CAtomicOutput() { Discard(); }

void CAtomicOutput::Write(std::string_view bytes) {
    if (m_file == nullptr) throw CVarnexError(ERROR_KIND::OUTPUT_CLOSED, m_target, 0);
    // The buffer never grows past its 64 KB: a larger one would be a second block touched for
    // nothing, at the very end of a build, when the process is at its largest.
    if (m_buffer.size() + bytes.size() > WRITE_BUFFER_BYTES) Flush();
    if (bytes.size() >= WRITE_BUFFER_BYTES) {
        WriteToFile(bytes);  // a block of a writer that gathers its own
        return;
    }
    m_buffer.append(bytes);
    if (m_buffer.size() >= WRITE_BUFFER_BYTES) Flush();
}

void CAtomicOutput::WriteToFile(std::string_view bytes) {
    errno = 0;
    std::size_t n = std::fwrite(bytes.data(), 1, bytes.size(), m_file);
    if (n != bytes.size()) Fail(ERROR_KIND::WRITE_FAILED, errno);
}

void CAtomicOutput::Flush() {
    if (m_buffer.empty()) return;
    WriteToFile(m_buffer);
    m_buffer.clear();
}

void CAtomicOutput::Fail(ERROR_KIND kind, int errorNumber) {
    Discard();
    throw CVarnexError(kind, m_target, 0, {}, errorNumber != 0 ? errorNumber : EIO);
}

void CAtomicOutput::Commit() {
    if (m_file == nullptr) throw CVarnexError(ERROR_KIND::OUTPUT_CLOSED, m_target, 0);
    Flush();
    errno = 0;
    if (std::fflush(m_file) != 0) Fail(ERROR_KIND::WRITE_FAILED, errno);
    std::FILE* f = m_file;
    m_file = nullptr;
    errno = 0;
    if (std::fclose(f) != 0) Fail(ERROR_KIND::WRITE_FAILED, errno);
    std::error_code ec;
    fs::rename(PathFromUtf8(m_tempPath), PathFromUtf8(m_target), ec);
    if (ec) Fail(ERROR_KIND::REPLACE_FAILED, ec.value());
    m_tempPath.clear();
}

void CAtomicOutput::Discard() {
    if (m_file != nullptr) {
        std::fclose(m_file);
        m_file = nullptr;
    }
    if (!m_tempPath.empty()) {
        std::error_code ec;
        fs::remove(PathFromUtf8(m_tempPath), ec);
        m_tempPath.clear();
    }
    m_buffer.clear();
}

bool IsSameFile(const std::string& textA, const std::string& textB) {
    fs::path a = PathFromUtf8(textA);
    fs::path b = PathFromUtf8(textB);
    std::error_code ec;
    if (fs::exists(a, ec) && fs::exists(b, ec)) {
        bool same = fs::equivalent(a, b, ec);
        if (!ec) return same;
    }
    fs::path pa = fs::weakly_canonical(a, ec);
    if (ec) pa = a.lexically_normal();
    fs::path pb = fs::weakly_canonical(b, ec);
    if (ec) pb = b.lexically_normal();
    return pa == pb;
}

bool NamesAnyOf(const std::string& output, const std::vector<std::string>& inputs) {
#ifndef _WIN32
    // One stat per path: a file that does not exist cannot be one of the inputs, which were read.
    struct stat target;
    if (::stat(output.c_str(), &target) != 0) return false;
    for (const std::string& input : inputs) {
        struct stat st;
        if (!input.empty() && ::stat(input.c_str(), &st) == 0 && st.st_dev == target.st_dev &&
            st.st_ino == target.st_ino) {
            return true;
        }
    }
    return false;
#else
    for (const std::string& input : inputs) {
        if (!input.empty() && IsSameFile(output, input)) return true;
    }
    return false;
#endif
}

std::string FileNameOf(const std::string& path) {
    std::size_t cut = path.find_last_of("/\\");
    return cut == std::string::npos ? path : path.substr(cut + 1);
}

std::string FolderOf(const std::string& path) {
    std::size_t cut = path.find_last_of("/\\");
    return cut == std::string::npos ? std::string() : path.substr(0, cut + 1);
}

}  // namespace varnex
