#include "platform/file_access.h"

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <random>
#include <system_error>

#include "platform/native_path.h"
#include "platform/varnex_error.h"

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
    std::error_code ec;
    if (fs::is_directory(PathFromUtf8(path), ec)) {
        throw CVarnexError(path, 0, "impossible de lire ce fichier : c'est un dossier");
    }
    errno = 0;
    m_file = OpenFileUtf8(path, "rb");
    if (m_file == nullptr) {
        int err = errno != 0 ? errno : ENOENT;
        throw CVarnexError(path, 0, "impossible d'ouvrir le fichier : " + SystemReason(err));
    }
    m_path = path;
}

void CFile::Seek(std::int64_t offset) {
#ifdef _WIN32
    bool failed = m_file == nullptr || _fseeki64(m_file, offset, SEEK_SET) != 0;
#else
    bool failed = m_file == nullptr || fseeko(m_file, static_cast<off_t>(offset), SEEK_SET) != 0;
#endif
    if (failed) {
        throw CVarnexError(m_path, 0, "impossible de se placer dans le fichier : " +
                                          SystemReason(errno != 0 ? errno : EIO));
    }
}

std::size_t CFile::Read(char* buffer, std::size_t count) {
    if (m_file == nullptr) throw CVarnexError(m_path, 0, "fichier non ouvert");
    std::size_t n = std::fread(buffer, 1, count, m_file);
    if (n < count && std::ferror(m_file)) {
        throw CVarnexError(m_path, 0,
                           "erreur de lecture : " + SystemReason(errno != 0 ? errno : EIO));
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
        throw CVarnexError(m_target, 0, "impossible d'écrire ce fichier : c'est un dossier");
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
        throw CVarnexError(m_target, 0, "impossible de créer le fichier : " + SystemReason(err));
    }
    m_buffer.reserve(WRITE_BUFFER_BYTES);
}

CAtomicOutput::~CAtomicOutput() { Discard(); }

void CAtomicOutput::Write(std::string_view bytes) {
    if (m_file == nullptr) throw CVarnexError(m_target, 0, "fichier de sortie fermé");
    m_buffer.append(bytes);
    if (m_buffer.size() >= WRITE_BUFFER_BYTES) Flush();
}

void CAtomicOutput::Flush() {
    if (m_buffer.empty()) return;
    errno = 0;
    std::size_t n = std::fwrite(m_buffer.data(), 1, m_buffer.size(), m_file);
    if (n != m_buffer.size()) Fail("erreur d'écriture", errno);
    m_buffer.clear();
}

void CAtomicOutput::Fail(const std::string& what, int errorNumber) {
    Discard();
    throw CVarnexError(m_target, 0, what + " : " + SystemReason(errorNumber != 0 ? errorNumber : EIO));
}

void CAtomicOutput::Commit() {
    if (m_file == nullptr) throw CVarnexError(m_target, 0, "fichier de sortie fermé");
    Flush();
    errno = 0;
    if (std::fflush(m_file) != 0) Fail("erreur d'écriture", errno);
    std::FILE* f = m_file;
    m_file = nullptr;
    errno = 0;
    if (std::fclose(f) != 0) Fail("erreur d'écriture", errno);
    std::error_code ec;
    fs::rename(PathFromUtf8(m_tempPath), PathFromUtf8(m_target), ec);
    if (ec) Fail("impossible de remplacer le fichier", ec.value());
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

std::string FileNameOf(const std::string& path) {
    std::size_t cut = path.find_last_of("/\\");
    return cut == std::string::npos ? path : path.substr(cut + 1);
}

std::string FolderOf(const std::string& path) {
    std::size_t cut = path.find_last_of("/\\");
    return cut == std::string::npos ? std::string() : path.substr(0, cut + 1);
}
