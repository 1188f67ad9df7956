#pragma once

// The front end's rules for reading text it is given: the command line, the
// settings file, the repeat box, the CD drive's replies, and the fonts and
// properties stored with the dialog's buttons. Portable, so they are tested
// and fuzzed natively and built unchanged into Solvane.scr.

#include <cstdint>
#include <optional>
#include <span>
#include <string_view>

namespace solvane {

// Two texts equal but for the case of ASCII letters.
bool equalsIgnoringAsciiCase(std::wstring_view text, std::wstring_view word);

// Where the argument text of a command line begins: after the program's own
// path and the blanks and tabs that follow it. The path is quoted; or,
// unquoted, it is one of `ownPaths` (the program's long and short forms,
// ASCII letters in any case; callers fold other letters beforehand) followed
// by a blank, a tab or the end, since hosts hand over paths with blanks
// unquoted; or else it ends at the first blank or tab.
std::size_t argumentTextStart(std::wstring_view commandLine, std::span<const std::wstring_view> ownPaths);

// The preview host's handle: the arguments from character 4 read as a
// decimal number, blanks, tabs and line feeds ignored wherever they stand,
// rounded half to even; 0 when there is no number or it leaves 32 bits.
std::int32_t hostHandleOf(std::wstring_view arguments);

// A settings-file number: the whole value a number, its integer part
// rounded towards minus infinity; nothing when it is no number or the
// result leaves 16 bits.
std::optional<std::int16_t> settingNumber(std::wstring_view value);

// The repeat box's text as a track: a number rounded half to even inside
// 16 bits; anything else, and a number outside, is 0.
std::int16_t repeatTrackFrom(std::wstring_view text);

// A CD query failed: its reply holds "ERR" in any letter case.
bool cdReplyFailed(std::wstring_view reply);

// The track in a CD reply, for the numeric comparison with the chosen
// track; nothing when the reply is no number or too large for one.
std::optional<double> cdReplyNumber(std::wstring_view reply);

// A stored font's size in points: one decimal number above 0 and at most
// 1638, the largest a GDI font takes; nothing otherwise.
std::optional<double> fontPointsFrom(std::wstring_view text);

// A stored font's whole-number field (weight, character set, a style flag)
// inside [low, high]; a fraction, or anything else, is nothing.
std::optional<int> fontFieldFrom(std::wstring_view text, int low, int high);

// A button's whole-number property: an optional sign and decimal digits,
// nothing around them, inside 64 bits.
std::optional<std::int64_t> storedInteger(std::wstring_view text);

// A button's flag property: "True" or "False" in any letter case, or a
// whole number as above, true when it is not 0.
std::optional<bool> storedFlag(std::wstring_view text);

} // namespace solvane
