// Any text either loads or raises ESimpleXMLError; a loaded tree writes, and where the written
// form can be read back exactly (no mixed text, no markup inside values), reading it back and
// writing it again gives the same bytes. The text helpers round-trip every byte string.
#include "records/SimpleXML.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

namespace {

bool quoteFree(const TSimpleXMLProps& props) {
    for (int i = 0; i < props.Count(); ++i) {
        if (props.ItemAt(i)->Value.find('"') != std::string::npos)
            return false;
    }
    return true;
}

// True when the written form of the tree must read back to the same written form: the writer
// escapes nothing and puts a text node on a line of its own, so values holding "<", attribute
// values holding a double quote, text nodes and unnamed elements change on the way.
bool rewriteMustBeStable(const TSimpleXML& document) {
    const TSimpleXMLElemsProlog& prolog = document.Prolog();
    for (int i = 0; i < prolog.Count(); ++i) {
        const TSimpleXMLElem* node = prolog.ItemAt(i);
        if (!quoteFree(node->Properties()))
            return false;
        if (node->Kind() == TSimpleXMLElemKind::Header) {
            const auto* header = static_cast<const TSimpleXMLElemHeader*>(node);
            if (header->Version.find('"') != std::string::npos ||
                header->Encoding.find('"') != std::string::npos)
                return false;
        }
    }
    // A tag such as "<:!x>" (empty prefix) gives a name beginning with "!" or "?", which is
    // written without the colon; read again, such a text opens a comment, CDATA or prolog node.
    const std::string rootName = document.Root().FullName();
    if (!rootName.empty() && (rootName.front() == '!' || rootName.front() == '?'))
        return false;
    std::vector<const TSimpleXMLElem*> pending{&document.Root()};
    while (!pending.empty()) {
        const TSimpleXMLElem* e = pending.back();
        pending.pop_back();
        if (e->Kind() == TSimpleXMLElemKind::Text)
            return false;
        if (e->Kind() == TSimpleXMLElemKind::Classic) {
            const std::string name = e->FullName();
            if (e->Name().empty() || name.starts_with("!--") || name.starts_with("![CDATA[") ||
                e->Value.find('<') != std::string::npos || !quoteFree(e->Properties()))
                return false;
        }
        for (int i = 0; i < e->Items().Count(); ++i)
            pending.push_back(e->Items().ItemAt(i));
    }
    return true;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);

    if (XmlDecode(XmlEncode(text)) != text)
        std::abort();
    (void)XmlDecode(text);

    TSimpleXML first;
    try {
        first.LoadFromText(text);
    } catch (const ESimpleXMLError&) {
        // Whatever was built up to the error must still write and copy.
        (void)first.SaveToText();
        return 0;
    }
    const std::string written = first.SaveToText();

    TSimpleXML copy;
    copy.Root().CopyFrom(&first.Root());
    (void)copy.SaveToText();

    const bool mustBeStable = rewriteMustBeStable(first);
    TSimpleXML second;
    try {
        second.LoadFromText(written);
    } catch (const ESimpleXMLError&) {
        if (mustBeStable)
            std::abort();
        return 0;
    }
    if (mustBeStable && second.SaveToText() != written)
        std::abort();
    return 0;
}
