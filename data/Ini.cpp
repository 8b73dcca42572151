#include "Ini.h"

#include "AtomicFile.h"

#include <cerrno>
#include <charconv>
#include <fcntl.h>
#include <initializer_list>
#include <sys/stat.h>
#include <unistd.h>

namespace {

std::string_view Trim(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t'))
        s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t'))
        s.remove_suffix(1);
    return s;
}

bool SameName(std::string_view a, std::string_view b) {
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); ++i) {
        auto lower = [](char c) { return (c >= 'A' && c <= 'Z') ? char(c - 'A' + 'a') : c; };
        if (lower(a[i]) != lower(b[i]))
            return false;
    }
    return true;
}

// "[name]" (trailing text after the bracket is ignored) gives name.
bool SectionName(std::string_view line, std::string_view& name) {
    line = Trim(line);
    if (line.empty() || line.front() != '[')
        return false;
    size_t close = line.find(']');
    if (close == std::string_view::npos)
        return false;
    name = Trim(line.substr(1, close - 1));
    return true;
}

bool KeyValue(std::string_view line, std::string_view& key, std::string_view& value) {
    std::string_view t = Trim(line);
    if (t.empty() || t.front() == ';' || t.front() == '[')
        return false;
    size_t eq = line.find('=');
    if (eq == std::string_view::npos)
        return false;
    key = Trim(line.substr(0, eq));
    value = Trim(line.substr(eq + 1));
    return true;
}

// A value is one line: a line break inside it would start a line that the next reader takes
// as a key of its own.
std::string OneLine(std::string_view value) {
    std::string out(value);
    for (char& c : out)
        if (c == '\r' || c == '\n')
            c = ' ';
    return out;
}

// Appends rather than chains operator+, which GCC 12 at -O3 warns about wrongly (-Wrestrict).
std::string Concat(std::initializer_list<std::string_view> parts) {
    std::string out;
    for (std::string_view part : parts)
        out.append(part);
    return out;
}

bool Quoted(std::string_view v) {
    return v.size() >= 2 && (v.front() == '"' || v.front() == '\'') && v.back() == v.front();
}

std::string_view Unquote(std::string_view v) {
    return Quoted(v) ? v.substr(1, v.size() - 2) : v;
}

// The stored form of a value: unchanged, unless reading it back would trim or unquote it.
std::string StoredValue(std::string_view value) {
    std::string line = OneLine(value);
    const bool edgeSpace = !line.empty() && (line.front() == ' ' || line.front() == '\t' ||
                                             line.back() == ' ' || line.back() == '\t');
    if (!edgeSpace && !Quoted(line))
        return line;
    return Concat({"\"", line, "\""});
}

// A file saved by a Windows editor may begin with a UTF-8 byte order mark.
constexpr std::string_view Utf8Bom = "\xEF\xBB\xBF";

// Reads the whole of a regular file. A missing file is an empty one; anything else that stops
// the read is reported through readErrno.
bool ReadWholeFile(const std::string& path, std::string& bytes, int& readErrno) {
    int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) {
        readErrno = errno;
        return errno == ENOENT;
    }
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        readErrno = S_ISDIR(st.st_mode) ? EISDIR : EINVAL;
        ::close(fd);
        return false;
    }
    // Settings and language files are a few kilobytes; a huge one is damaged, and reading it
    // whole would take its size in memory.
    if (st.st_size > MaxIniFileBytes) {
        readErrno = EFBIG;
        ::close(fd);
        return false;
    }
    bytes.reserve(size_t(st.st_size));
    char buffer[65536];
    for (;;) {
        ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n == 0)
            break;
        if (n < 0) {
            if (errno == EINTR)
                continue;
            readErrno = errno;
            ::close(fd);
            return false;
        }
        bytes.append(buffer, size_t(n));
        if (bytes.size() > size_t(MaxIniFileBytes)) { // grew while being read
            readErrno = EFBIG;
            ::close(fd);
            return false;
        }
    }
    ::close(fd);
    return true;
}

} // namespace

IniFile::IniFile(std::string path) : path_(std::move(path)) {
    std::string bytes;
    readable_ = ReadWholeFile(path_, bytes, readErrno_);
    if (readable_)
        Parse(bytes);
}

IniFile IniFile::FromText(std::string text) {
    IniFile file;
    file.Parse(text);
    return file;
}

void IniFile::Parse(std::string_view bytes) {
    lines_.clear();
    size_t start = 0;
    while (start < bytes.size()) {
        size_t end = bytes.find_first_of("\r\n", start);
        if (end == std::string_view::npos) {
            lines_.push_back({std::string(bytes.substr(start)), ""});
            break;
        }
        size_t endLen =
            (bytes[end] == '\r' && end + 1 < bytes.size() && bytes[end + 1] == '\n') ? 2 : 1;
        lines_.push_back({std::string(bytes.substr(start, end - start)),
                          std::string(bytes.substr(end, endLen))});
        start = end + endLen;
    }
}

std::string IniFile::Text() const {
    std::string out;
    for (const Line& line : lines_) {
        out += line.text;
        out += line.end;
    }
    return out;
}

int IniFile::FindSection(std::string_view section) const {
    for (size_t i = 0; i < lines_.size(); ++i) {
        std::string_view name, text = lines_[i].text;
        if (i == 0 && text.starts_with(Utf8Bom))
            text.remove_prefix(Utf8Bom.size());
        if (SectionName(text, name) && SameName(name, section))
            return int(i) + 1;
    }
    return -1;
}

int IniFile::FindKey(int sectionBody, std::string_view key) const {
    for (size_t i = size_t(sectionBody); i < lines_.size(); ++i) {
        std::string_view name, k, v;
        if (SectionName(lines_[i].text, name))
            return -1;
        if (KeyValue(lines_[i].text, k, v) && SameName(k, key))
            return int(i);
    }
    return -1;
}

std::string IniFile::ReadString(std::string_view section, std::string_view key,
                                std::string_view defaultValue) const {
    int body = FindSection(section);
    if (body < 0)
        return std::string(defaultValue);
    int at = FindKey(body, key);
    if (at < 0)
        return std::string(defaultValue);
    std::string_view k, v;
    KeyValue(lines_[size_t(at)].text, k, v);
    return std::string(Unquote(v));
}

int IniFile::ReadInteger(std::string_view section, std::string_view key, int defaultValue) const {
    std::string text = ReadString(section, key, "");
    std::string_view t = text;
    if (!t.empty() && t.front() == '+')
        t.remove_prefix(1);
    int value = 0;
    auto [end, ec] = std::from_chars(t.data(), t.data() + t.size(), value);
    if (t.empty() || ec != std::errc() || end != t.data() + t.size())
        return defaultValue;
    return value;
}

bool IniFile::ReadBool(std::string_view section, std::string_view key, bool defaultValue) const {
    return ReadInteger(section, key, defaultValue ? 1 : 0) != 0;
}

std::string IniFile::NewLineEnd() const {
    for (const Line& line : lines_)
        if (!line.end.empty())
            return line.end;
    return "\r\n";
}

void IniFile::WriteString(std::string_view section, std::string_view key, std::string_view value) {
    const std::string lineText = Concat({OneLine(key), "=", StoredValue(value)});
    const std::string eol = NewLineEnd();
    int body = FindSection(section);
    if (body < 0) {
        if (!lines_.empty() && lines_.back().end.empty())
            lines_.back().end = eol;
        lines_.push_back({Concat({"[", OneLine(section), "]"}), eol});
        lines_.push_back({lineText, eol});
        return;
    }
    if (int at = FindKey(body, key); at >= 0) {
        std::string_view k, v;
        KeyValue(lines_[size_t(at)].text, k, v);
        // Keep the key as the file spells it.
        lines_[size_t(at)].text = Concat({k, "=", StoredValue(value)});
        return;
    }
    // After the section's last key, before any blank lines or comments that close it.
    size_t insertAt = size_t(body);
    for (size_t i = size_t(body); i < lines_.size(); ++i) {
        std::string_view name, k, v;
        if (SectionName(lines_[i].text, name))
            break;
        if (KeyValue(lines_[i].text, k, v))
            insertAt = i + 1;
    }
    if (insertAt > 0 && lines_[insertAt - 1].end.empty())
        lines_[insertAt - 1].end = eol;
    lines_.insert(lines_.begin() + long(insertAt), Line{lineText, eol});
}

void IniFile::WriteInteger(std::string_view section, std::string_view key, int value) {
    WriteString(section, key, std::to_string(value));
}

void IniFile::WriteBool(std::string_view section, std::string_view key, bool value) {
    WriteString(section, key, value ? "1" : "0");
}

bool IniFile::Save() const {
    if (!readable_) {
        errno = readErrno_ != 0 ? readErrno_ : EIO;
        return false;
    }
    return WriteFileAtomically(path_, Text());
}

std::string IniReadString(const std::string& path, std::string_view section, std::string_view key,
                          std::string_view defaultValue) {
    return IniFile(path).ReadString(section, key, defaultValue);
}

int IniReadInteger(const std::string& path, std::string_view section, std::string_view key,
                   int defaultValue) {
    return IniFile(path).ReadInteger(section, key, defaultValue);
}

bool IniWriteString(const std::string& path, std::string_view section, std::string_view key,
                    std::string_view value) {
    IniFile file(path);
    file.WriteString(section, key, value);
    return file.Save();
}

bool IniWriteInteger(const std::string& path, std::string_view section, std::string_view key,
                     int value) {
    return IniWriteString(path, section, key, std::to_string(value));
}
