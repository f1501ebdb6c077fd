// Runs the fuzz target over every file of the saved corpus, for builds
// without libFuzzer.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <dirent.h>
#include <fstream>
#include <sstream>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

int main(int argc, char** argv)
{
    int files = 0;
    for (int i = 1; i < argc; ++i) {
        DIR* dir = opendir(argv[i]);
        if (!dir) {
            std::fprintf(stderr, "cannot open corpus %s\n", argv[i]);
            return 1;
        }
        while (dirent* e = readdir(dir)) {
            if (e->d_name[0] == '.') continue;
            std::ifstream in(std::string(argv[i]) + "/" + e->d_name, std::ios::binary);
            std::stringstream bytes;
            bytes << in.rdbuf();
            const std::string s = bytes.str();
            LLVMFuzzerTestOneInput(reinterpret_cast<const uint8_t*>(s.data()), s.size());
            ++files;
        }
        closedir(dir);
    }
    std::printf("replayed %d inputs\n", files);
    return files > 0 ? 0 : 1;
}
