#pragma once
#include <QTemporaryDir>
#include <string>

// A fresh directory that also serves as the program directory for the test's lifetime.
class TempProgramDir {
public:
    TempProgramDir();
    ~TempProgramDir();
    std::string Path(const std::string& name = {}) const;

private:
    QTemporaryDir dir_;
    std::string previous_;
};

std::string ReadFileBytes(const std::string& path);
void WriteFileBytes(const std::string& path, const std::string& bytes);
