#include "sim/Floor.h"

#include "files/Files.h"
#include "files/Message.h"

#include <charconv>

namespace sim {

namespace {

std::vector<std::string_view> words(std::string_view line) {
    std::vector<std::string_view> result;
    std::size_t i = 0;
    while (i < line.size()) {
        while (i < line.size() && (line[i] == ' ' || line[i] == '\t'))
            ++i;
        const std::size_t start = i;
        while (i < line.size() && line[i] != ' ' && line[i] != '\t')
            ++i;
        if (i > start)
            result.push_back(line.substr(start, i - start));
    }
    return result;
}

template <class... Values> files::TMessage say(const char* wording, Values&&... values) {
    return files::Say("sim", wording, std::forward<Values>(values)...);
}

bool readInt(std::string_view text, std::int32_t& value) {
    if (text.empty() || text.front() == '+')
        return false;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    return ec == std::errc() && end == text.data() + text.size() && value >= -kFloorLimit &&
           value <= kFloorLimit;
}

// The reader of one floor text: each item checks its count of numbers and their ranges.
class TFloorReader {
public:
    files::TResult<TFloor> read(std::string_view text) {
        const std::vector<std::string> lines = files::SplitLines(text);
        bool header = false;
        bool named = false;
        bool area = false;
        bool start = false;
        for (std::size_t i = 0; i < lines.size(); ++i) {
            m_line = i + 1;
            std::string_view line = lines[i];
            if (const std::size_t hash = line.find('#'); hash != std::string_view::npos)
                line = line.substr(0, hash);
            const std::vector<std::string_view> w = words(line);
            if (w.empty())
                continue;
            if (!header) {
                if (w.size() != 2 || w[0] != "zolvane-floor")
                    return error(say(ZV_TRANSLATABLE("sim", "a floor file begins with \"%1\""),
                                     kFloorHeader));
                if (w[1] != "1")
                    return error(say(ZV_TRANSLATABLE("sim", "floor format version %1 is not known "
                                                            "(this program reads version 1)"),
                                     w[1]));
                header = true;
                continue;
            }
            const std::string_view item = w[0];
            if (item == "name") {
                if (named)
                    return error(givenTwice(item));
                named = true;
                const std::size_t at = line.find("name") + 4;
                std::string_view rest = line.substr(at);
                while (!rest.empty() && (rest.front() == ' ' || rest.front() == '\t'))
                    rest.remove_prefix(1);
                while (!rest.empty() && (rest.back() == ' ' || rest.back() == '\t'))
                    rest.remove_suffix(1);
                m_floor.name = rest;
            } else if (item == "area") {
                if (area)
                    return error(givenTwice(item));
                area = true;
                if (!numbers(w, 4, "area X0 Y0 X1 Y1"))
                    return failure();
                m_floor.areaLow = {m_n[0], m_n[1]};
                m_floor.areaHigh = {m_n[2], m_n[3]};
                if (m_n[2] <= m_n[0] || m_n[3] <= m_n[1])
                    return error(say(ZV_TRANSLATABLE("sim", "the area's upper right corner must "
                                                            "lie above and right of its lower left "
                                                            "one")));
            } else if (item == "start") {
                if (start)
                    return error(givenTwice(item));
                start = true;
                if (!numbers(w, 3, "start X Y HEADING"))
                    return failure();
                m_floor.start = {m_n[0], m_n[1]};
                if (m_n[2] < 0 || m_n[2] >= 360)
                    return error(say(ZV_TRANSLATABLE(
                        "sim", "the start heading must lie from 0 to 359 degrees")));
                m_floor.startHeading = m_n[2];
            } else if (item == "line") {
                if (w.size() < 6 || w.size() % 2 != 0)
                    return error(
                        say(ZV_TRANSLATABLE("sim", "expected %1, and more X Y pairs if any"),
                            "line WIDTH X1 Y1 X2 Y2"));
                if (!numbers(w, w.size() - 1, ""))
                    return failure();
                TFloorLine l;
                l.width = m_n[0];
                if (l.width <= 0)
                    return error(say(ZV_TRANSLATABLE("sim", "a line's width must be 1 or more")));
                for (std::size_t k = 1; k + 1 < m_n.size(); k += 2)
                    l.points.push_back({m_n[k], m_n[k + 1]});
                m_floor.lines.push_back(std::move(l));
            } else if (item == "wall") {
                if (!numbers(w, 4, "wall X1 Y1 X2 Y2"))
                    return failure();
                m_floor.walls.push_back({{m_n[0], m_n[1]}, {m_n[2], m_n[3]}});
            } else if (item == "box") {
                if (!numbers(w, 4, "box X Y WIDTH HEIGHT"))
                    return failure();
                if (m_n[2] <= 0 || m_n[3] <= 0)
                    return error(
                        say(ZV_TRANSLATABLE("sim", "a box's width and height must be 1 or more")));
                m_floor.boxes.push_back({{m_n[0], m_n[1]}, m_n[2], m_n[3]});
            } else {
                return error(say(ZV_TRANSLATABLE("sim", "unknown item \"%1\" (expected name, "
                                                        "area, start, line, wall or box)"),
                                 item));
            }
        }
        if (!header)
            return files::Error(say(ZV_TRANSLATABLE("sim", "an empty text is not a floor: a floor "
                                                           "file begins with \"%1\""),
                                    kFloorHeader));
        return m_floor;
    }

private:
    files::TError error(files::TMessage detail) {
        m_message = OnLine(m_line, std::move(detail));
        return failure();
    }
    files::TError failure() const { return files::Error(m_message); }
    static files::TMessage givenTwice(std::string_view item) {
        return say(ZV_TRANSLATABLE("sim", "%1 is given twice"), item);
    }

    // Reads the count of numbers after the item word; usage names the item's form.
    bool numbers(const std::vector<std::string_view>& w, std::size_t count,
                 std::string_view usage) {
        if (w.size() != count + 1) {
            m_message = OnLine(m_line, say(ZV_TRANSLATABLE("sim", "expected %1"), usage));
            return false;
        }
        m_n.assign(count, 0);
        for (std::size_t k = 0; k < count; ++k) {
            if (!readInt(w[k + 1], m_n[k])) {
                m_message =
                    OnLine(m_line,
                           say(ZV_TRANSLATABLE("sim", "\"%1\" is not a whole number from %2 to %3"),
                               w[k + 1], -kFloorLimit, kFloorLimit));
                return false;
            }
        }
        return true;
    }

    TFloor m_floor;
    std::size_t m_line = 0;
    files::TMessage m_message;
    std::vector<std::int32_t> m_n;
};

} // namespace

files::TMessage OnLine(std::size_t line, files::TMessage detail) {
    return say(ZV_TRANSLATABLE("sim", "line %1: %2"), line, std::move(detail));
}

files::TResult<TFloor> ReadFloor(std::string_view text) {
    return TFloorReader().read(text);
}

std::string WriteFloor(const TFloor& floor) {
    auto n = [](std::int32_t v) { return std::to_string(v); };
    std::string out = std::string(kFloorHeader) + "\n";
    // A name is one line without a comment: what would end it early becomes a space.
    std::string name = floor.name;
    for (char& c : name)
        if (c == '#' || c == '\r' || c == '\n')
            c = ' ';
    while (!name.empty() && (name.back() == ' ' || name.back() == '\t'))
        name.pop_back();
    while (!name.empty() && (name.front() == ' ' || name.front() == '\t'))
        name.erase(name.begin());
    if (!name.empty())
        out += "name " + name + "\n";
    out += "area " + n(floor.areaLow.x) + " " + n(floor.areaLow.y) + " " + n(floor.areaHigh.x) +
           " " + n(floor.areaHigh.y) + "\n";
    out +=
        "start " + n(floor.start.x) + " " + n(floor.start.y) + " " + n(floor.startHeading) + "\n";
    for (const TFloorLine& l : floor.lines) {
        out += "line " + n(l.width);
        for (const TPoint& p : l.points)
            out += " " + n(p.x) + " " + n(p.y);
        out += "\n";
    }
    for (const TWall& w : floor.walls)
        out += "wall " + n(w.from.x) + " " + n(w.from.y) + " " + n(w.to.x) + " " + n(w.to.y) + "\n";
    for (const TBox& b : floor.boxes)
        out += "box " + n(b.corner.x) + " " + n(b.corner.y) + " " + n(b.width) + " " + n(b.height) +
               "\n";
    return out;
}

files::TResult<TFloor> LoadFloor(const std::string& fileName) {
    files::TResult<std::string> bytes = files::ReadWholeFile(fileName);
    if (!bytes)
        return files::Error(bytes.errorMessage());
    files::TResult<TFloor> floor = ReadFloor(*bytes);
    if (!floor)
        return files::Error(files::Say("sim", ZV_TRANSLATABLE("sim", "Floor \"%1\", %2"), fileName,
                                       floor.errorMessage()));
    return floor;
}

files::TStatus SaveFloor(const TFloor& floor, const std::string& fileName) {
    return files::ReplaceFile(fileName, WriteFloor(floor));
}

} // namespace sim
