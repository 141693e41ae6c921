// Loading a document from a file and saving it to one, through the core's one file module.
#include "files/Files.h"
#include "records/SimpleXML.h"

#include <memory>
#include <string>

ESimpleXMLFileError::ESimpleXMLFileError(files::TMessage message)
    : std::runtime_error(message.English()),
      m_message(std::make_shared<const files::TMessage>(std::move(message))) {}

void TSimpleXML::LoadFromFile(const std::string& path) {
    const files::TResult<std::string> text = files::ReadWholeFile(path);
    if (!text)
        throw ESimpleXMLFileError(text.errorMessage());
    LoadFromText(*text);
}

void TSimpleXML::SaveToFile(const std::string& path) {
    if (const files::TStatus saved = files::ReplaceFile(path, SaveToText()); !saved)
        throw ESimpleXMLFileError(saved.errorMessage());
}
