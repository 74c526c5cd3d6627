// Writes the fuzzer's seed corpus into the directory named on the command line.
#include "fuzz/seed_corpus.hpp"

#include <filesystem>
#include <iostream>

int main(int argc, char** argv) {
    if (argc != 2) {
        std::cerr << "usage: make_seed_corpus DIRECTORY\n";
        return 2;
    }
    const std::filesystem::path directory = argv[1];
    std::filesystem::create_directories(directory);
    for (const auto& [name, bytes] : pelitor::test::seedCorpus()) {
        if (!pelitor::wav_writer::writeFile(directory / (name + ".wav"), bytes)) {
            std::cerr << "make_seed_corpus: cannot write " << name << ".wav\n";
            return 1;
        }
    }
    return 0;
}
