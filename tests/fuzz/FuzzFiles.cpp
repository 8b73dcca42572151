#include "FuzzFiles.h"

#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

const std::string& FuzzDir() {
    static const std::string dir = [] {
        std::string pattern = std::string(::access("/dev/shm", W_OK) == 0 ? "/dev/shm" : "/tmp") +
                              "/qplu-fuzz-XXXXXX";
        if (::mkdtemp(pattern.data()) == nullptr)
            FuzzFail("no scratch folder");
        return pattern + "/";
    }();
    return dir;
}

std::string PutFuzzFile(const std::string& name, std::string_view bytes) {
    std::string path = FuzzDir() + name;
    int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    if (fd < 0)
        FuzzFail("cannot write a scratch file");
    while (!bytes.empty()) {
        ssize_t n = ::write(fd, bytes.data(), bytes.size());
        if (n <= 0)
            FuzzFail("cannot write a scratch file");
        bytes.remove_prefix(size_t(n));
    }
    ::close(fd);
    return path;
}

std::vector<std::string_view> FuzzParts(const uint8_t* data, size_t size, size_t parts) {
    std::string_view rest(reinterpret_cast<const char*>(data), size);
    std::vector<std::string_view> out;
    while (out.size() + 1 < parts) {
        size_t cut = rest.find("\n--\n");
        if (cut == std::string_view::npos)
            break;
        out.push_back(rest.substr(0, cut));
        rest.remove_prefix(cut + 4);
    }
    out.push_back(rest);
    out.resize(parts);
    return out;
}

void FuzzFail(const char* what) {
    std::fprintf(stderr, "fuzz check failed: %s\n", what);
    std::abort();
}
