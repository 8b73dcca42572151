#pragma once
#include <QTemporaryDir>
#include <array>
#include <string>

// A fresh directory that also serves as the program directory (and so the settings and state
// directories) for the test's lifetime.
class TempProgramDir {
public:
    TempProgramDir();
    ~TempProgramDir();
    std::string Path(const std::string& name = {}) const;

private:
    QTemporaryDir dir_;
    std::array<std::string, 3> previous_; // program, settings and state directories
};

std::string ReadFileBytes(const std::string& path);
void WriteFileBytes(const std::string& path, const std::string& bytes);
