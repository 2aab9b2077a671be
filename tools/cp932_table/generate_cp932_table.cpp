// Writes the codec's cp932 table from this system's iconv ("CP932"):
//
//     vb_cp932_table_generator src/codec/cp932_table.inc
//
// Run it on Linux (glibc) when the table must change; the codec_iconv_tests then hold the
// committed table against iconv and the codec's conversions against iconv's own.
#include <exception>
#include <fstream>
#include <iostream>

#include "table_maker.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::cerr << "usage: " << argv[0] << " OUTPUT_FILE\n";
        return 2;
    }
    try {
        const std::string source =
            vb::tools::cp932_table::TableSource(vb::tools::cp932_table::AskIconv());
        std::ofstream file(argv[1], std::ios::binary | std::ios::trunc);
        file << source;
        file.close();
        if (!file) {
            std::cerr << "cannot write " << argv[1] << '\n';
            return 1;
        }
    } catch (const std::exception& e) {
        std::cerr << e.what() << '\n';
        return 1;
    }
    return 0;
}
