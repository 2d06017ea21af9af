// Writes the table lines of rows read from a file (rows ended by NUL, fields
// parted by 0x1F) for tests/check-csv. Usage: csv_lines ROWS OUT
#include "core/csvtable.h"

#include <stdio.h>
#include <stdlib.h>

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

int main(int argc, char **argv)
{
    if (argc != 3)
        return 2;
    std::ifstream in(argv[1], std::ios::binary);
    std::stringstream whole;
    whole << in.rdbuf();
    FILE *out = fopen(argv[2], "wb");
    if (out == nullptr)
        return 1;
    std::string row;
    std::istringstream rows(whole.str());
    while (std::getline(rows, row, '\0')) {
        std::vector<std::string> fields;
        std::istringstream parts(row);
        for (std::string field; std::getline(parts, field, '\x1f');)
            fields.push_back(field);
        std::vector<const char *> texts;
        for (const std::string &field : fields)
            texts.push_back(field.c_str());
        char *line = FormatCsvLine(texts.data(), (int)texts.size());
        if (line == nullptr)
            return 1;
        fputs(line, out);
        free(line);
    }
    return fclose(out) == 0 ? 0 : 1;
}
