#include "settings/ParamFile.h"

#include "settings/ParamLocation.h"

#include <QByteArray>
#include <QFile>
#include <QSaveFile>
#include <QString>
#include <cerrno>
#include <chrono>
#include <cstddef>
#include <cstdlib>
#include <fcntl.h>
#include <optional>
#include <sys/file.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

namespace {

using Bytes = std::vector<uint8_t>;

constexpr size_t kNameBytes = 20;
constexpr size_t kHeaderBytes = 24;
constexpr size_t kStringBlockBytes = 1024;
constexpr size_t kMaxCommentBytes = 0xFFFF;
constexpr auto kRetryPause = std::chrono::milliseconds(10);
// The file can only have been replaced under our feet by a writer that just finished, so a
// handful of reopenings is plenty.
constexpr int kReopenTries = 5;
constexpr const char* kWhiteSpace = " \t\n\v\f\r";

// Causes written after "Exception:" in the last-error text.
enum class FileCause : int {
    None = 0,
    Generic = 1,
    FileNotFound = 2,
    BadPath = 3,
    TooManyOpenFiles = 4,
    AccessDenied = 5,
    InvalidFile = 6,
    BadSeek = 9,
    HardIO = 10,
    SharingViolation = 11,
    LockViolation = 12,
    DiskFull = 13,
    EndOfFile = 14,
};

FileCause causeFromErrno(int error) {
    switch (error) {
    case 0:
        return FileCause::Generic;
    case ENOENT:
        return FileCause::FileNotFound;
    case ENOTDIR:
    case ENAMETOOLONG:
    case ELOOP:
        return FileCause::BadPath;
    case EMFILE:
    case ENFILE:
        return FileCause::TooManyOpenFiles;
    case EACCES:
    case EPERM:
    case EROFS:
        return FileCause::AccessDenied;
    case EISDIR:
        return FileCause::InvalidFile;
    case ESPIPE:
    case EINVAL:
        return FileCause::BadSeek;
    case EIO:
        return FileCause::HardIO;
    case EWOULDBLOCK:
        return FileCause::SharingViolation;
    case ENOLCK:
        return FileCause::LockViolation;
    case ENOSPC:
    case EDQUOT:
    case EFBIG:
        return FileCause::DiskFull;
    default:
        return FileCause::Generic;
    }
}

std::string shiftUp(std::string_view text) {
    std::string raised(text);
    for (char& c : raised) {
        c = static_cast<char>(static_cast<uint8_t>(c) + 1);
    }
    return raised;
}

std::string shiftDown(const uint8_t* bytes, size_t count) {
    std::string lowered(count, '\0');
    for (size_t i = 0; i < count; ++i) {
        lowered[i] = static_cast<char>(static_cast<uint8_t>(bytes[i] - 1));
    }
    return lowered;
}

uint16_t readU16(const Bytes& bytes, size_t offset) {
    return static_cast<uint16_t>(bytes[offset] | (bytes[offset + 1] << 8));
}

void appendU16(Bytes& bytes, uint16_t value) {
    bytes.push_back(static_cast<uint8_t>(value & 0xFF));
    bytes.push_back(static_cast<uint8_t>(value >> 8));
}

std::string trimFront(const std::string& text) {
    const size_t first = text.find_first_not_of(kWhiteSpace);
    return first == std::string::npos ? std::string() : text.substr(first);
}

// One record as found in the file bytes.
struct RecordSpan {
    size_t offset = 0;
    uint16_t type = 0;
    uint16_t commentLength = 0;

    [[nodiscard]] size_t end() const { return offset + kHeaderBytes + type + commentLength; }
};

struct SearchResult {
    std::optional<RecordSpan> found;
    // When nothing was found: end of the run of whole records that precede any damage (the
    // file size when the file is sound). Bytes past it cannot be read as records.
    size_t soundEnd = 0;
};

// Walks the records from offset 0. A record whose header or blocks run past the end of the
// file ends the walk: it and whatever follows read as missing. Each step moves at least
// 24 bytes, so the walk is bounded by the file size.
SearchResult findRecord(const Bytes& content, const std::string& raisedName) {
    SearchResult result;
    size_t offset = 0;
    // offset never passes the end: a record is only stepped over when it ends in the file.
    while (content.size() - offset >= kHeaderBytes) {
        RecordSpan record;
        record.offset = offset;
        record.type = readU16(content, offset + kNameBytes);
        record.commentLength = readU16(content, offset + kNameBytes + 2);
        if (record.end() > content.size()) {
            break;
        }
        size_t nameLength = 0;
        while (nameLength < kNameBytes && content[offset + nameLength] != 0) {
            ++nameLength;
        }
        const std::string_view storedName(reinterpret_cast<const char*>(&content[offset]),
                                          nameLength);
        if (storedName == raisedName) {
            result.found = record;
            return result;
        }
        offset = record.end();
    }
    result.soundEnd = offset;
    return result;
}

// The parameter file opened and held under an exclusive flock for one operation.
class LockedFile {
public:
    LockedFile() = default;
    LockedFile(const LockedFile&) = delete;
    LockedFile& operator=(const LockedFile&) = delete;
    ~LockedFile() { close(); }

    // Opens the file at path (creating it when allowed) and takes the lock without waiting.
    // A rename by another writer may leave us holding the lock of a file that is no longer
    // the one at the path; then the path is opened again. Opened non-blocking so that a
    // named pipe in the file's place is refused (it is not a regular file) instead of
    // waited on; reads and writes of regular files are not affected.
    FileCause open(const std::string& path, bool forWriting, bool mayCreate) {
        for (int tries = 0; tries < kReopenTries; ++tries) {
            created = false;
            if (mayCreate) {
                fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
                created = fd >= 0;
                if (fd < 0 && errno != EEXIST) {
                    return causeFromErrno(errno);
                }
            }
            if (fd < 0) {
                fd =
                    ::open(path.c_str(), (forWriting ? O_RDWR : O_RDONLY) | O_CLOEXEC | O_NONBLOCK);
                if (fd < 0) {
                    return causeFromErrno(errno);
                }
            }
            if (flock(fd, LOCK_EX | LOCK_NB) != 0) {
                const int error = errno;
                close();
                return causeFromErrno(error);
            }
            struct stat atPath {};
            if (fstat(fd, &info) != 0) {
                const int error = errno;
                close();
                return causeFromErrno(error);
            }
            if (stat(path.c_str(), &atPath) == 0 && atPath.st_dev == info.st_dev &&
                atPath.st_ino == info.st_ino) {
                return FileCause::None;
            }
            close();
        }
        return FileCause::LockViolation;
    }

    // Reads the whole file; refuses files too large to be parameter files.
    FileCause readAll(Bytes& content) const {
        if (!S_ISREG(info.st_mode) || info.st_size > ParamFile::kMaxFileBytes) {
            return FileCause::InvalidFile;
        }
        content.assign(static_cast<size_t>(info.st_size), 0);
        size_t done = 0;
        while (done < content.size()) {
            const ssize_t got =
                pread(fd, content.data() + done, content.size() - done, static_cast<off_t>(done));
            if (got < 0) {
                if (errno == EINTR) {
                    continue;
                }
                return causeFromErrno(errno);
            }
            if (got == 0) {
                return FileCause::EndOfFile;
            }
            done += static_cast<size_t>(got);
        }
        return FileCause::None;
    }

    void close() {
        if (fd >= 0) {
            ::close(fd);
            fd = -1;
        }
    }

    int fd = -1;
    bool created = false;
    struct stat info {};
};

FileCause writeAll(int fd, const Bytes& content, off_t start) {
    size_t done = 0;
    while (done < content.size()) {
        const ssize_t put = pwrite(fd, content.data() + done, content.size() - done,
                                   start + static_cast<off_t>(done));
        if (put < 0) {
            if (errno == EINTR) {
                continue;
            }
            return causeFromErrno(errno);
        }
        done += static_cast<size_t>(put);
    }
    return FileCause::None;
}

// Last resort for a folder where no temporary file may be created beside the parameter file
// (the file itself being writable), or a path Qt cannot name: rewrite it in place.
FileCause rewriteInPlace(const LockedFile& file, const Bytes& content) {
    if (const FileCause cause = writeAll(file.fd, content, 0); cause != FileCause::None) {
        return cause;
    }
    if (ftruncate(file.fd, static_cast<off_t>(content.size())) != 0 || fsync(file.fd) != 0) {
        return causeFromErrno(errno);
    }
    return FileCause::None;
}

// Puts the new content in place of the held file through QSaveFile: written whole to a
// temporary file beside it, synced, then renamed over it, so that the path shows either the
// old or the new bytes. The lock on the old file is kept until the caller closes it, after the
// rename: a writer that opens the path meanwhile finds the old file still held, or the new
// file once it is in place, and checks which one it locked.
FileCause replaceContent(const std::string& path, const LockedFile& file, const Bytes& content) {
    if (static_cast<int64_t>(content.size()) > ParamFile::kMaxFileBytes) {
        return FileCause::InvalidFile;
    }
    // A param.dat that is a symbolic link stays one: the file it points to is replaced.
    std::string target = path;
    if (char* real = realpath(path.c_str(), nullptr); real != nullptr) {
        target = real;
        free(real);
    }
    // Qt spells file names in UTF-8: a path holding other bytes would name another file.
    const QString name = QFile::decodeName(QByteArray::fromStdString(target));
    if (QFile::encodeName(name).toStdString() != target) {
        return rewriteInPlace(file, content);
    }
    QSaveFile save(name);
    if (!save.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) {
        const int error = errno;
        if (error == EACCES || error == EPERM) {
            return rewriteInPlace(file, content);
        }
        return causeFromErrno(error);
    }
    // Keep the owner and access rights of the file being replaced (QSaveFile copies the
    // access bits only); failures only matter to other users of the file and do not stop the
    // write.
    (void)fchmod(save.handle(), file.info.st_mode & 07777);
    if (geteuid() == 0) {
        (void)fchown(save.handle(), file.info.st_uid, file.info.st_gid);
    }
    // Until commit() succeeds, QSaveFile's destructor removes the temporary file.
    const auto size = static_cast<qint64>(content.size());
    if (save.write(reinterpret_cast<const char*>(content.data()), size) != size) {
        return causeFromErrno(errno);
    }
    // commit() syncs too but does not report a failed sync: a change that may not be on the
    // disk is not put in place.
    if (fsync(save.handle()) != 0) {
        return causeFromErrno(errno);
    }
    if (!save.commit()) {
        return causeFromErrno(errno);
    }
    return FileCause::None;
}

// mkdir -p of every folder named before a '/' of the path.
bool createFolders(const std::string& path) {
    for (size_t slash = path.find('/', 1); slash != std::string::npos;
         slash = path.find('/', slash + 1)) {
        const std::string folder = path.substr(0, slash);
        struct stat info {};
        if (stat(folder.c_str(), &info) == 0) {
            continue;
        }
        if (mkdir(folder.c_str(), 0777) != 0 && errno != EEXIST) {
            return false;
        }
    }
    return true;
}

bool exists(const std::string& path) {
    struct stat info {};
    return stat(path.c_str(), &info) == 0;
}

} // namespace

ParamFile::ParamFile(const std::string& fileName) : m_filePath(resolveParamPath(fileName)) {}

ParamFile::~ParamFile() = default;

void ParamFile::setFileError(int cause) {
    m_lastError = "Exception:" + std::to_string(cause);
}

int64_t ParamFile::findParam(const std::string& name) {
    LockedFile file;
    Bytes content;
    FileCause cause = file.open(m_filePath, false, false);
    if (cause == FileCause::None) {
        cause = file.readAll(content);
    }
    if (cause != FileCause::None) {
        setFileError(static_cast<int>(cause));
        return -2;
    }
    const SearchResult search = findRecord(content, shiftUp(name));
    if (!search.found) {
        m_lastError = "Fonction recherche: le paramètre n'existe pas!";
        return -1;
    }
    return static_cast<int64_t>(search.found->offset);
}

bool ParamFile::writeParam(const std::string& name, const std::vector<uint8_t>& value,
                           const std::string& comment, ParamType type) {
    m_filePath = trimFront(m_filePath);
    if (m_filePath.empty()) {
        m_lastError = "Fonction écriture: le nom du fichier n'est pas spécifié!";
        return false;
    }
    std::string paramName = trimFront(name);
    if (paramName.empty()) {
        m_lastError = "Fonction écriture: le nom du paramètre n'est pas spécifié!";
        return false;
    }
    paramName.erase(paramName.find_last_not_of(kWhiteSpace) + 1);
    for (char& c : paramName) {
        if (c == ' ') {
            c = '_';
        }
    }
    // A 0xFF byte is raised to NUL, which would end the stored name early: the record would
    // answer to a shorter name and never to this one. UTF-8 names never hold that byte.
    if (paramName.size() > kNameBytes || paramName.find('\xFF') != std::string::npos) {
        m_lastError = "Fonction écriture: taille du nom incorrecte!";
        return false;
    }
    const std::string raisedName = shiftUp(paramName);
    const auto typeTag = static_cast<uint16_t>(type);
    const bool keepComment = comment == "#";
    const std::string newComment = shiftUp(std::string_view(comment).substr(0, kMaxCommentBytes));

    for (int attempt = 0; attempt < m_attempts; ++attempt) {
        if (attempt > 0) {
            std::this_thread::sleep_for(kRetryPause);
        }
        const bool existed = exists(m_filePath);
        if (!existed && !createFolders(m_filePath)) {
            return false;
        }
        LockedFile file;
        Bytes content;
        FileCause cause = file.open(m_filePath, true, !existed);
        if (cause == FileCause::None) {
            cause = file.readAll(content);
        }
        if (cause != FileCause::None) {
            setFileError(static_cast<int>(cause));
            // An existing file that cannot be searched (held by another process, unreadable)
            // fails at once; a new file that could not be made is tried again.
            if (existed) {
                return false;
            }
            continue;
        }

        const SearchResult search = findRecord(content, raisedName);
        const RecordSpan* old = search.found ? &*search.found : nullptr;
        if (old != nullptr && old->type != typeTag) {
            m_lastError = "Fonction d'écriture: le paramètre existe et son type est différent "
                          "de celui souhaité!";
            return false;
        }
        Bytes record(raisedName.begin(), raisedName.end());
        record.resize(kNameBytes, 0);
        appendU16(record, typeTag);
        if (keepComment) {
            appendU16(record, old != nullptr ? old->commentLength : 0);
        } else {
            appendU16(record, static_cast<uint16_t>(newComment.size()));
        }
        record.insert(record.end(), value.begin(), value.end());
        record.resize(kHeaderBytes + typeTag, 0);
        if (keepComment && old != nullptr) {
            record.insert(record.end(), content.begin() + old->offset + kHeaderBytes + old->type,
                          content.begin() + old->end());
        } else if (!keepComment) {
            record.insert(record.end(), newComment.begin(), newComment.end());
        }

        // A found record is replaced where it stands and the records after it follow the
        // new one. A new record goes after the last whole record: a damaged end of file,
        // which no search can read, is dropped rather than left to swallow the new record.
        const size_t prefixEnd = old != nullptr ? old->offset : search.soundEnd;
        const size_t suffixStart = old != nullptr ? old->end() : content.size();
        Bytes updated(content.begin(), content.begin() + prefixEnd);
        updated.insert(updated.end(), record.begin(), record.end());
        updated.insert(updated.end(), content.begin() + suffixStart, content.end());
        cause = replaceContent(m_filePath, file, updated);
        if (cause == FileCause::None) {
            return true;
        }
        setFileError(static_cast<int>(cause));
        if (file.created) {
            // The file did not exist before this write: leave none behind.
            unlink(m_filePath.c_str());
        }
    }
    return false;
}

bool ParamFile::readParam(const std::string& name, std::vector<uint8_t>& value,
                          std::string* comment, ParamType type) {
    if (!exists(m_filePath)) {
        m_lastError = "Le fichier spécifié n'existe pas!";
        return false;
    }
    if (name.empty()) {
        m_lastError = "Fonction lecture : le nom du paramètre à lire n'est pas spécifié!";
        return false;
    }
    // Everything after the search works on the bytes already in memory, so no file error can
    // follow it and there is nothing to try again: a failed search fails the read at once.
    LockedFile file;
    Bytes content;
    FileCause cause = file.open(m_filePath, false, false);
    if (cause == FileCause::None) {
        cause = file.readAll(content);
    }
    file.close();
    if (cause != FileCause::None) {
        setFileError(static_cast<int>(cause));
        return false;
    }
    const SearchResult search = findRecord(content, shiftUp(name));
    if (!search.found) {
        m_lastError = "Fonction recherche: le paramètre n'existe pas!";
        return false;
    }
    const RecordSpan& record = *search.found;
    if (record.type != static_cast<uint16_t>(type)) {
        m_lastError = "Fonction lecture: le paramètre ne correspond pas au type spécifié!";
        return false;
    }
    const size_t valueStart = record.offset + kHeaderBytes;
    value.assign(content.begin() + valueStart, content.begin() + valueStart + record.type);
    if (comment != nullptr) {
        *comment = shiftDown(&content[valueStart + record.type], record.commentLength);
    }
    return true;
}

bool ParamFile::deleteParam(const std::string& name) {
    if (!exists(m_filePath)) {
        m_lastError = "Fonction suppression: fichier inexistant!";
        return false;
    }
    const std::string paramName = trimFront(name);
    if (paramName.empty()) {
        m_lastError = "Fonction suppression: le nom du paramètre n'est pas spécifié!";
        return false;
    }
    bool removed = false;
    LockedFile file;
    Bytes content;
    FileCause cause = file.open(m_filePath, true, false);
    if (cause == FileCause::None) {
        cause = file.readAll(content);
    }
    if (cause == FileCause::None) {
        const SearchResult search = findRecord(content, shiftUp(paramName));
        if (search.found) {
            Bytes updated(content.begin(), content.begin() + search.found->offset);
            updated.insert(updated.end(), content.begin() + search.found->end(), content.end());
            removed = replaceContent(m_filePath, file, updated) == FileCause::None;
        }
    }
    if (!removed) {
        m_lastError = "Fonction suppression : paramètre inexistant!";
    }
    return true;
}

std::vector<uint8_t> ParamFile::encodeString(std::string_view text) {
    // Each byte is raised by its position modulo 32; past the text, the block is padding.
    std::vector<uint8_t> block(kStringBlockBytes);
    for (size_t i = 0; uint8_t & byte : block) {
        const auto k = static_cast<uint8_t>(i % 32);
        byte = i < text.size() ? static_cast<uint8_t>(static_cast<uint8_t>(text[i]) + k) : k;
        ++i;
    }
    return block;
}

std::string ParamFile::decodeString(const std::vector<uint8_t>& block) {
    std::string text;
    for (size_t i = 0; i < block.size() && i < kStringBlockBytes; ++i) {
        const auto k = static_cast<uint8_t>(i % 32);
        if (block[i] == k) {
            break;
        }
        text.push_back(static_cast<char>(static_cast<uint8_t>(block[i] - k)));
    }
    return text;
}

bool ParamFile::writeString(const std::string& name, std::string_view text,
                            const std::string& comment) {
    return writeParam(name, encodeString(text), comment, ParamType::String);
}

bool ParamFile::readString(const std::string& name, std::string& text, std::string* comment) {
    std::vector<uint8_t> block;
    if (!readParam(name, block, comment, ParamType::String)) {
        return false;
    }
    text = decodeString(block);
    return true;
}

bool ParamFile::writeLong(const std::string& name, int32_t value, const std::string& comment) {
    const auto bits = static_cast<uint32_t>(value);
    const std::vector<uint8_t> block = {
        static_cast<uint8_t>(bits & 0xFF), static_cast<uint8_t>((bits >> 8) & 0xFF),
        static_cast<uint8_t>((bits >> 16) & 0xFF), static_cast<uint8_t>(bits >> 24)};
    return writeParam(name, block, comment, ParamType::Long);
}

bool ParamFile::readLong(const std::string& name, int32_t& value, std::string* comment) {
    std::vector<uint8_t> block;
    if (!readParam(name, block, comment, ParamType::Long)) {
        return false;
    }
    const uint32_t bits =
        block[0] | (block[1] << 8) | (block[2] << 16) | (static_cast<uint32_t>(block[3]) << 24);
    value = static_cast<int32_t>(bits);
    return true;
}

bool ParamFile::writeByte(const std::string& name, int32_t value, const std::string& comment) {
    return writeParam(name, {static_cast<uint8_t>(value & 0xFF)}, comment, ParamType::Byte);
}

bool ParamFile::readByte(const std::string& name, int32_t& value, std::string* comment) {
    std::vector<uint8_t> block;
    if (!readParam(name, block, comment, ParamType::Byte)) {
        return false;
    }
    value = block[0];
    return true;
}
