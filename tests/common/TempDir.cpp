#include "TempDir.h"

#include "Settings.h"

#include <fstream>
#include <iterator>

TempProgramDir::TempProgramDir() : previous_{ProgramDir, SettingsDir, StateDir} {
    SetProgramDir(dir_.path().toStdString());
}

TempProgramDir::~TempProgramDir() {
    ProgramDir = previous_[0];
    SettingsDir = previous_[1];
    StateDir = previous_[2];
}

std::string TempProgramDir::Path(const std::string& name) const {
    return dir_.path().toStdString() + "/" + name;
}

std::string ReadFileBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

void WriteFileBytes(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), std::streamsize(bytes.size()));
}
