// The writer: one exact written form for every tree (CR LF lines, the indent per level).
#include "records/SimpleXML.h"

#include <string>
#include <vector>

namespace {

constexpr std::string_view kCrLf = "\r\n";
constexpr std::string_view kIndent = "  ";

void writeAttributes(std::string& out, const TSimpleXMLProps& props) {
    for (int i = 0; i < props.Count(); ++i) {
        const TSimpleXMLProp* prop = props.ItemAt(i);
        out += ' ';
        if (!prop->NameSpace.empty()) {
            out += prop->NameSpace;
            out += ':';
        }
        out += prop->Name();
        out += "=\"";
        out += prop->Value;
        out += '"';
    }
}

void appendFullName(std::string& out, const TSimpleXMLElem& e) {
    if (!e.Namespace.empty()) {
        out += e.Namespace;
        out += ':';
    }
    out += e.Name();
}

// Writes one node; returns true when its children are to be written next (an element whose
// closing tag, if any, follows them).
bool writeOpen(std::string& out, const TSimpleXMLElem& e, std::string_view prefix) {
    switch (e.Kind()) {
    case TSimpleXMLElemKind::Classic: {
        const bool hasChildren = e.Items().Count() > 0;
        if (e.Name().empty())
            return hasChildren;
        out += prefix;
        out += '<';
        appendFullName(out, e);
        writeAttributes(out, e.Properties());
        if (hasChildren) {
            out += '>';
            out += kCrLf;
            return true;
        }
        if (e.Value.empty()) {
            out += "/>";
        } else {
            out += '>';
            out += e.Value;
            out += "</";
            appendFullName(out, e);
            out += '>';
        }
        out += kCrLf;
        return false;
    }
    case TSimpleXMLElemKind::Text:
        if (!e.Value.empty()) {
            out += prefix;
            out += e.Value;
            out += kCrLf;
        }
        return false;
    case TSimpleXMLElemKind::Comment:
        out += prefix;
        out += "<!--";
        out += e.Value;
        out += "-->";
        out += kCrLf;
        return false;
    case TSimpleXMLElemKind::CData:
        out += prefix;
        out += "<![CDATA[";
        out += e.Value;
        out += "]]>";
        out += kCrLf;
        return false;
    case TSimpleXMLElemKind::Header: {
        const auto& header = static_cast<const TSimpleXMLElemHeader&>(e);
        out += "<?xml version=\"";
        out += header.Version;
        out += '"';
        if (!header.Encoding.empty()) {
            out += " encoding=\"";
            out += header.Encoding;
            out += '"';
        }
        if (header.StandAlone)
            out += " standalone=\"yes\"";
        out += "?>";
        out += kCrLf;
        return false;
    }
    case TSimpleXMLElemKind::DocType:
        out += "<!DOCTYPE ";
        out += e.Value;
        out += '>';
        out += kCrLf;
        return false;
    case TSimpleXMLElemKind::Sheet:
        out += prefix;
        out += "<?xml-stylesheet";
        writeAttributes(out, e.Properties());
        out += "?>";
        out += kCrLf;
        return false;
    }
    return false;
}

// Writes a subtree without nested calls, so that a tree of any depth can be written.
void writeTree(std::string& out, const TSimpleXMLElem& top, std::string_view basePrefix) {
    std::string prefix(basePrefix);
    if (!writeOpen(out, top, prefix))
        return;
    struct Frame {
        const TSimpleXMLElem* element;
        int next;
        std::size_t prefixLength;
    };
    std::vector<Frame> stack{{&top, 0, prefix.size()}};
    while (!stack.empty()) {
        Frame& frame = stack.back();
        const TSimpleXMLElems& items = frame.element->Items();
        if (frame.next < items.Count()) {
            const TSimpleXMLElem* child = items.ItemAt(frame.next++);
            prefix.resize(frame.prefixLength);
            prefix += kIndent;
            if (writeOpen(out, *child, prefix))
                stack.push_back({child, 0, prefix.size()});
            continue;
        }
        const TSimpleXMLElem& done = *frame.element;
        prefix.resize(frame.prefixLength);
        stack.pop_back();
        if (done.Kind() == TSimpleXMLElemKind::Classic && !done.Name().empty()) {
            out += prefix;
            out += "</";
            appendFullName(out, done);
            out += '>';
            out += kCrLf;
        }
    }
}

} // namespace

std::string TSimpleXMLElem::SaveToText(std::string_view prefix) const {
    std::string out;
    writeTree(out, *this, prefix);
    return out;
}

std::string TSimpleXML::SaveToText() {
    if (m_prolog.Count() == 0)
        m_prolog.Add(std::make_unique<TSimpleXMLElemHeader>());
    std::string out;
    out.reserve(m_writeHint); // the last text written is the best guess of this one's size
    for (int i = 0; i < m_prolog.Count(); ++i)
        writeTree(out, *m_prolog.ItemAt(i), {});
    writeTree(out, *m_root, {});
    m_writeHint = out.size();
    return out;
}
