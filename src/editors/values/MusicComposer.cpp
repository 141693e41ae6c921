#include "editors/values/MusicComposer.h"

#include "files/Translatable.h"

#include <cmath>
#include <utility>

namespace editors {

int musicKeyFromRecord(std::int64_t key) {
    return key >= 0 && key < MusicKeyCount ? static_cast<int>(key) : 0;
}

bool toneButtonEnabled(int key, int button) {
    if (button == RestButton)
        return true;
    return button >= 1 && button < RestButton && button > key && button <= key + EnabledToneCount;
}

TToneFace toneFace(int button) {
    if (button == RestButton)
        return {0, TOctaveMark::Rest};
    if (button == 22)
        return {'1', TOctaveMark::ColonAbove};
    const int degree = (button - 1) % 7;
    const auto digit = static_cast<char>('1' + degree);
    if (button <= 7)
        return {digit, TOctaveMark::DotBelow};
    if (button <= 14)
        return {digit, TOctaveMark::None};
    return {digit, TOctaveMark::DotAbove};
}

const std::array<std::string_view, DurationCount>& durationNames() {
    static constexpr std::array<std::string_view, DurationCount> names{
        ZV_TRANSLATABLE("editors", "1/4 beat"),   ZV_TRANSLATABLE("editors", "2/4 beat"),
        ZV_TRANSLATABLE("editors", "3/4 beat"),   ZV_TRANSLATABLE("editors", "1 beat"),
        ZV_TRANSLATABLE("editors", "1+1/4 beat"), ZV_TRANSLATABLE("editors", "1+2/4 beat"),
        ZV_TRANSLATABLE("editors", "1+3/4 beat"), ZV_TRANSLATABLE("editors", "2 beat")};
    return names;
}

namespace {

// A note code's tone (0 a rest, 1..15) and length in quarter beats; nothing for no note.
std::optional<std::pair<int, int>> readNote(int key, std::string_view code) {
    if (code.size() != 2 || key < 0 || key >= MusicKeyCount)
        return std::nullopt;
    const char t = code[0];
    const int tone = t >= '0' && t <= '9' ? t - '0' : t >= 'A' && t <= 'F' ? t - 'A' + 10 : -1;
    const int quarters = code[1] - '0';
    if (tone < 0 || quarters < 1 || quarters > DurationCount)
        return std::nullopt;
    return std::make_pair(tone, quarters);
}

} // namespace

std::optional<TNoteSound> noteSound(int key, std::string_view code, const TMusicTuning& tuning) {
    const auto note = readNote(key, code);
    if (!note)
        return std::nullopt;
    const auto [tone, quarters] = *note;
    TNoteSound sound{0, static_cast<int>(std::lround(quarters * tuning.quarterBeatMs))};
    if (tone > 0) {
        // Button n is scale degree n - 1 above the low do: whole octaves and a major scale.
        static constexpr std::array<int, 7> major{0, 2, 4, 5, 7, 9, 11};
        const int degree = tone + key - 1;
        const int semitones = 12 * (degree / 7) + major[static_cast<std::size_t>(degree % 7)];
        sound.hz = tuning.lowDoHz * std::pow(2.0, semitones / 12.0);
    }
    return sound;
}

std::optional<TNoteWords> noteWords(int key, std::string_view code) {
    const auto note = readNote(key, code);
    if (!note)
        return std::nullopt;
    const auto [tone, quarters] = *note;
    // Each tone button's note: the solfa name with its octave, low (dot below) to top (colon).
    static constexpr std::array<std::string_view, RestButton - 1> tones{
        ZV_TRANSLATABLE("editors", "low do"),   ZV_TRANSLATABLE("editors", "low re"),
        ZV_TRANSLATABLE("editors", "low mi"),   ZV_TRANSLATABLE("editors", "low fa"),
        ZV_TRANSLATABLE("editors", "low sol"),  ZV_TRANSLATABLE("editors", "low la"),
        ZV_TRANSLATABLE("editors", "low ti"),   ZV_TRANSLATABLE("editors", "do"),
        ZV_TRANSLATABLE("editors", "re"),       ZV_TRANSLATABLE("editors", "mi"),
        ZV_TRANSLATABLE("editors", "fa"),       ZV_TRANSLATABLE("editors", "sol"),
        ZV_TRANSLATABLE("editors", "la"),       ZV_TRANSLATABLE("editors", "ti"),
        ZV_TRANSLATABLE("editors", "high do"),  ZV_TRANSLATABLE("editors", "high re"),
        ZV_TRANSLATABLE("editors", "high mi"),  ZV_TRANSLATABLE("editors", "high fa"),
        ZV_TRANSLATABLE("editors", "high sol"), ZV_TRANSLATABLE("editors", "high la"),
        ZV_TRANSLATABLE("editors", "high ti"),  ZV_TRANSLATABLE("editors", "top do")};
    // Quarter beats as whole and quarter beats, "beats" from more than one beat on.
    static constexpr std::array<std::string_view, DurationCount> beats{
        ZV_TRANSLATABLE("editors", "1/4 beat"),    ZV_TRANSLATABLE("editors", "2/4 beat"),
        ZV_TRANSLATABLE("editors", "3/4 beat"),    ZV_TRANSLATABLE("editors", "1 beat"),
        ZV_TRANSLATABLE("editors", "1 1/4 beats"), ZV_TRANSLATABLE("editors", "1 2/4 beats"),
        ZV_TRANSLATABLE("editors", "1 3/4 beats"), ZV_TRANSLATABLE("editors", "2 beats")};
    // A tone counts from the key: tone t under key k is button t + k (at most 22).
    const std::string_view word = tone == 0 ? std::string_view(ZV_TRANSLATABLE("editors", "rest"))
                                            : tones[static_cast<std::size_t>(tone + key - 1)];
    return TNoteWords{word, beats[static_cast<std::size_t>(quarters - 1)]};
}

std::string noteName(int key, std::string_view code) {
    const std::optional<TNoteWords> words = noteWords(key, code);
    if (!words)
        return {};
    return std::string(words->tone) + ", " + std::string(words->beats);
}

std::string noteCode(int key, int button, int durationIndex) {
    if (key < 0 || key >= MusicKeyCount || !toneButtonEnabled(key, button) || durationIndex < 0 ||
        durationIndex >= DurationCount)
        return {};
    const int tone = button == RestButton ? 0 : button - key;
    static constexpr std::string_view hex = "0123456789ABCDEF";
    return {hex[tone], static_cast<char>('1' + durationIndex)};
}

std::vector<std::string> notesFromContent(std::string_view content) {
    std::vector<std::string> notes;
    notes.reserve(content.size() / 2);
    for (std::size_t i = 0; i + 1 < content.size(); i += 2)
        notes.emplace_back(content.substr(i, 2));
    return notes;
}

std::string contentFromNotes(const std::vector<std::string>& notes) {
    std::string content;
    for (const auto& note : notes)
        content += note;
    return content;
}

bool TNoteList::hasSelection() const {
    return selected >= 0 && selected < static_cast<int>(notes.size());
}

void TNoteList::add(std::string code) {
    notes.push_back(std::move(code));
}

bool TNoteList::replace(std::string code) {
    if (!hasSelection())
        return false;
    notes[selected] = std::move(code);
    return true;
}

bool TNoteList::removeSelected() {
    if (!hasSelection())
        return false;
    notes.erase(notes.begin() + selected);
    selected = -1;
    return true;
}

bool TNoteList::moveUp() {
    if (!hasSelection() || selected == 0)
        return false;
    std::swap(notes[selected], notes[selected - 1]);
    --selected;
    return true;
}

bool TNoteList::moveDown() {
    if (!hasSelection() || selected + 1 >= static_cast<int>(notes.size()))
        return false;
    std::swap(notes[selected], notes[selected + 1]);
    ++selected;
    return true;
}

} // namespace editors
