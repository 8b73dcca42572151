#include "DocumentFile.h"

#include <QtGlobal>

#include "AtomicFile.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// Reads a file line by line in fixed-size chunks, splitting each line at TAB, with every field
// cut at MaxFieldBytes, so neither a huge line nor a file without line ends costs more memory
// than the tables can hold.
class FieldReader {
public:
    explicit FieldReader(int fd) : fd_(fd) {}

    // False at the end of the file; errno-style failure in Error(). CR LF and a bare LF end a
    // line; a CR elsewhere is text.
    bool NextLine(std::vector<std::string>& fields) {
        fields.assign(1, std::string());
        bool any = false;
        bool pendingCR = false;
        for (;;) {
            if (pos_ == len_ && !Fill())
                break;
            any = true;
            if (fields.back().size() >= MaxFieldBytes) {
                // A full field takes nothing more, not even a CR: skip to its end at memory speed,
                // so a file of one endless line costs its reading and no more.
                const void* tab = std::memchr(buffer_ + pos_, '\t', len_ - pos_);
                const void* end = std::memchr(buffer_ + pos_, '\n', len_ - pos_);
                const char* stop = static_cast<const char*>(tab == nullptr   ? end
                                                            : end == nullptr ? tab
                                                                             : std::min(tab, end));
                pendingCR = false;
                pos_ = stop == nullptr ? len_ : size_t(stop - buffer_);
                if (pos_ == len_)
                    continue;
            }
            char c = buffer_[pos_++];
            if (c == '\n')
                return true;
            if (pendingCR)
                Append(fields, '\r');
            pendingCR = c == '\r';
            if (c == '\t')
                fields.emplace_back();
            else if (!pendingCR)
                Append(fields, c);
        }
        return any;
    }
    FileError Error() const { return error_; }

private:
    static void Append(std::vector<std::string>& fields, char c) {
        if (fields.back().size() < MaxFieldBytes)
            fields.back() += c;
    }
    bool Fill() {
        for (;;) {
            ssize_t n = ::read(fd_, buffer_, sizeof buffer_);
            if (n < 0 && errno == EINTR)
                continue;
            if (n < 0)
                error_ = errno;
            pos_ = 0;
            len_ = n > 0 ? size_t(n) : 0;
            return n > 0;
        }
    }

    int fd_;
    char buffer_[65536];
    size_t pos_ = 0;
    size_t len_ = 0;
    FileError error_ = 0;
};

// Opens for reading; -1 with error 0 when the file does not exist. Only a regular file is
// read: opening a FIFO without O_NONBLOCK would wait for a writer forever, and a directory or a
// device is no document.
int OpenForReading(const std::string& path, FileError& error) {
    int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    error = (fd < 0 && errno != ENOENT) ? errno : 0;
    struct stat info {};
    if (fd >= 0 && (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode))) {
        error = S_ISDIR(info.st_mode) ? EISDIR : EINVAL;
        ::close(fd);
        return -1;
    }
    return fd;
}

} // namespace

std::string FileErrorText(FileError error) {
    switch (error) {
    case ENOENT:
        return QT_TRANSLATE_NOOP("Messages", "File not found");
    case ENOTDIR:
    case ENAMETOOLONG:
    case EINVAL:
    case ELOOP:
        return QT_TRANSLATE_NOOP("Messages", "Invalid filename");
    case EMFILE:
    case ENFILE:
        return QT_TRANSLATE_NOOP("Messages", "Too many open files");
    case EACCES:
    case EISDIR: // a directory where a file should be is refused access, not misnamed
    case EPERM:
    case EROFS:
        return QT_TRANSLATE_NOOP("Messages", "File access denied");
    case ENOSPC:
    case EDQUOT:
    case EFBIG:
        return QT_TRANSLATE_NOOP("Messages", "Disk full");
    default:
        return "I/O error " + std::to_string(error);
    }
}

std::string WithExtension(const std::string& path, const std::string& extension) {
    size_t slash = path.find_last_of('/');
    size_t dot = path.find_last_of('.');
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash))
        return path + extension;
    return path.substr(0, dot) + extension;
}

namespace {

// Hands each line's fields to takeLine until it returns false or the file ends. A missing file
// is no error.
template <class TakeLine> FileError ReadLines(const std::string& path, TakeLine takeLine) {
    FileError error = 0;
    int fd = OpenForReading(path, error);
    if (fd < 0)
        return error;
    auto reader = std::make_unique<FieldReader>(fd);
    std::vector<std::string> fields;
    while (reader->NextLine(fields) && takeLine(fields)) {
    }
    error = reader->Error();
    ::close(fd);
    return error;
}

} // namespace

FileError ReadGridFile(const std::string& path, TextTable& table) {
    int row = 0;
    return ReadLines(path, [&](std::vector<std::string>& fields) {
        ++row;
        const int n = std::min<int>(int(fields.size()), table.Cols());
        for (int c = 1; c <= n; ++c)
            table.Cell(row, c) = std::move(fields[size_t(c - 1)]);
        return row < table.Rows();
    });
}

FileError ReadRecyFile(const std::string& path, RecyTable& table) {
    size_t entry = 0;
    return ReadLines(path, [&](std::vector<std::string>& fields) {
        if (fields.size() >= 2) {
            table[entry].number = std::move(fields[0]);
            table[entry].price = std::move(fields[1]);
            ++entry;
        }
        return entry < table.size();
    });
}

std::string GridFileText(const TextTable& table) {
    int last = table.Rows();
    while (last > 0 && table.RowIsDefault(last))
        --last;
    std::string text;
    text.reserve(size_t(last) * 48);
    for (int r = 1; r <= last; ++r) {
        for (int c = 1; c <= table.Cols(); ++c) {
            if (c > 1)
                text += '\t';
            text += table.Cell(r, c);
        }
        text += "\r\n";
    }
    return text;
}

std::string RecyFileText(const RecyTable& table) {
    std::string text;
    for (const RecyEntry& entry : table) {
        text += entry.number;
        text += '\t';
        text += entry.price;
        text += "\r\n";
    }
    return text;
}

FileError WriteGridFile(const std::string& path, const TextTable& table) {
    return WriteFileAtomically(path, GridFileText(table)) ? 0 : errno;
}

FileError WriteRecyFile(const std::string& path, const RecyTable& table) {
    return WriteFileAtomically(path, RecyFileText(table)) ? 0 : errno;
}

std::string DocumentJournalPath(const std::string& path) {
    return path + "-journal";
}

FileError ReadDocumentFiles(const std::string& path, TextTable& plu, TextTable& dept,
                            RecyTable& recy) {
    // A save cut off between its renames would leave files of two saves: undo it first.
    FinishInterruptedWrite(DocumentJournalPath(path),
                           {path, WithExtension(path, ".DEP"), WithExtension(path, ".RCY")});
    FileError error = ReadGridFile(path, plu);
    if (!error)
        error = ReadGridFile(WithExtension(path, ".DEP"), dept);
    if (!error)
        error = ReadRecyFile(WithExtension(path, ".RCY"), recy);
    return error;
}

FileError WriteDocumentFiles(const std::string& path, const TextTable& plu, const TextTable& dept,
                             const RecyTable& recy, std::string* failedPath) {
    // Built in place: an initializer list would copy each file's text once more.
    std::vector<std::pair<std::string, std::string>> files;
    files.reserve(3);
    files.emplace_back(path, GridFileText(plu));
    files.emplace_back(WithExtension(path, ".DEP"), GridFileText(dept));
    files.emplace_back(WithExtension(path, ".RCY"), RecyFileText(recy));
    return WriteFilesAtomically(files, DocumentJournalPath(path), failedPath) ? 0 : errno;
}
