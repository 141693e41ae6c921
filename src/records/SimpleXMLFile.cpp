// Loading a document from a file and saving it to one.
#include "records/SimpleXML.h"
#include "records/SimpleXMLDetail.h"

#include <cerrno>
#include <cstdio>
#include <string>

using simplexml_detail::osReason;

void TSimpleXML::LoadFromFile(const std::string& path) {
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (!file)
        throw ESimpleXMLFileError("Cannot open file \"" + path + "\": " + osReason(errno));
    std::string text;
    char buffer[65536];
    for (;;) {
        const std::size_t n = std::fread(buffer, 1, sizeof buffer, file);
        text.append(buffer, n);
        if (n < sizeof buffer)
            break;
    }
    const int readError = std::ferror(file) ? errno : 0;
    std::fclose(file);
    if (readError != 0)
        throw ESimpleXMLFileError("Cannot read file \"" + path + "\": " + osReason(readError));
    LoadFromText(text);
}

void TSimpleXML::SaveToFile(const std::string& path) {
    const std::string text = SaveToText();
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (!file)
        throw ESimpleXMLFileError("Cannot create file \"" + path + "\": " + osReason(errno));
    const std::size_t written = std::fwrite(text.data(), 1, text.size(), file);
    int writeError = written != text.size() ? errno : 0;
    if (std::fclose(file) != 0 && writeError == 0)
        writeError = errno;
    if (writeError != 0)
        throw ESimpleXMLFileError("Cannot write file \"" + path + "\": " + osReason(writeError));
}
