#pragma once
// INI files read and written by section and key, keeping every line the program does not write
// byte for byte (comments, unknown keys, order, line ends). Section and key names match without
// regard to ASCII case, as the files were written on a system that did the same.
//
// Values are trimmed of spaces and tabs when read, and a value wrapped in a pair of double or
// single quotes loses them, as the Windows profile functions did. So a value that needs its edge
// spaces (a centred receipt header) or its own quotes is written inside double quotes; every
// other value is written unchanged. The first of duplicate sections or keys is the one used.

#include <string>
#include <string_view>
#include <vector>

// A bigger file is read as unreadable (EFBIG): no settings or language file comes near it.
inline constexpr long MaxIniFileBytes = 16L << 20;

class IniFile {
public:
    // A missing or unreadable file reads as an empty one. A file that exists but cannot be read
    // whole (no permission, not a regular file) is never replaced by Save(): what we could not
    // read we could not keep.
    explicit IniFile(std::string path);

    const std::string& Path() const { return path_; }

    std::string ReadString(std::string_view section, std::string_view key,
                           std::string_view defaultValue) const;
    int ReadInteger(std::string_view section, std::string_view key, int defaultValue) const;
    bool ReadBool(std::string_view section, std::string_view key, bool defaultValue) const;

    // Changes the text in memory; Save() puts it on disk.
    void WriteString(std::string_view section, std::string_view key, std::string_view value);
    void WriteInteger(std::string_view section, std::string_view key, int value);
    void WriteBool(std::string_view section, std::string_view key, bool value);

    // Writes a temporary file beside the old one and renames it over it, so a failure never
    // leaves half a file. Returns false (errno set) when the file could not be written.
    bool Save() const;
    bool Readable() const { return readable_; }

    std::string Text() const;
    static IniFile FromText(std::string text);

private:
    struct Line {
        std::string text; // without its end
        std::string end;  // "\r\n", "\n", "\r" or "" for a last line without one
    };
    IniFile() = default;
    void Parse(std::string_view bytes);
    // Index of the first line of the named section's body, or -1.
    int FindSection(std::string_view section) const;
    int FindKey(int sectionBody, std::string_view key) const;
    std::string NewLineEnd() const;

    std::string path_;
    std::vector<Line> lines_;
    bool readable_ = true;
    int readErrno_ = 0;
};

// One read or write of SYSTEM.CFG-style files: open, do it, release.
std::string IniReadString(const std::string& path, std::string_view section, std::string_view key,
                          std::string_view defaultValue);
int IniReadInteger(const std::string& path, std::string_view section, std::string_view key,
                   int defaultValue);
bool IniWriteString(const std::string& path, std::string_view section, std::string_view key,
                    std::string_view value);
bool IniWriteInteger(const std::string& path, std::string_view section, std::string_view key,
                     int value);
