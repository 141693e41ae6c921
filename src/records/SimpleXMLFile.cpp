// Loading a document from a file and saving it to one, through the core's one file module.
#include "files/Files.h"
#include "records/SimpleXML.h"

#include <string>

void TSimpleXML::LoadFromFile(const std::string& path) {
    const files::TResult<std::string> text = files::ReadWholeFile(path);
    if (!text)
        throw ESimpleXMLFileError(text.error());
    LoadFromText(*text);
}

void TSimpleXML::SaveToFile(const std::string& path) {
    if (const files::TStatus saved = files::ReplaceFile(path, SaveToText()); !saved)
        throw ESimpleXMLFileError(saved.error());
}
