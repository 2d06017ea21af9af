// Writes the table lines of the rows on standard input (rows ended by NUL,
// fields parted by 0x1F) to standard output, for tests/check-csv.
#include "core/csvtable.h"

#include <stdio.h>
#include <stdlib.h>

#include <iostream>
#include <sstream>
#include <string>
#include <vector>

int main()
{
    std::string row;
    while (std::getline(std::cin, row, '\0')) {
        std::vector<std::string> fields;
        std::istringstream parts(row);
        for (std::string field; std::getline(parts, field, '\x1f');)
            fields.push_back(field);
        std::vector<const char *> texts;
        for (const std::string &field : fields)
            texts.push_back(field.c_str());
        char *line = FormatCsvLine(texts.data(), (int)texts.size());
        fputs(line, stdout);
        free(line);
    }
    return 0;
}
