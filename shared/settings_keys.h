#pragma once

// The settings file's section and key names as they are stored: the keys
// as their code-page-932 bytes, whatever the system's code page. The test
// harness reads these lines too (tools/harness/contract.py); keep them in
// the form `inline constexpr char name[] = "bytes";`, bytes escaped as \xNN.

namespace solvane::keys {

inline constexpr char settingsSection[] = "Section";
inline constexpr char musicKind[] = "BGM\x8B\xE6\x95\xAA";       // BGM区分
inline constexpr char repeatTrack[] = "BGM\xD8\xCB\xDF\xB0\xC4"; // BGMﾘﾋﾟｰﾄ
inline constexpr char musicFile[] = "BGM\xCC\xA7\xB2\xD9";       // BGMﾌｧｲﾙ

} // namespace solvane::keys
