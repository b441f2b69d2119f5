// Every text the program shows. The sources are UTF-8; the build turns these
// literals into Windows-1250 bytes for the "A" functions.
#pragma once

namespace text {

inline constexpr char kMainTitle[] = "Lumox";
inline constexpr char kResultsTitle[] = "Tabulka";

// The maker's line at the right of the status strip.
inline constexpr char kMakerLine[] = "(c) Lumox";

// The start-up failure box. Its caption is written without diacritics on
// purpose: it is the program's established wording.
inline constexpr char kStartFailed[] = "Aplikaci nelze spustit";
inline constexpr char kStartFailedCaption[] = "Chyba pri inicializaci";

inline constexpr char kBadResults[] = "Neplatná tabulka výsledků.";
inline constexpr char kBadResultsCaption[] = "Chyba verifikace dat";

inline constexpr char kCannotSave[] = "Nelze uložit tabulku.";
inline constexpr char kCannotSaveCaption[] = "Chyba";

inline constexpr char kConfirmEnd[] = "Opravdu chcete skončit Vaši rozehrátou hru?";
inline constexpr char kConfirmEndCaption[] = "Konec hry";

inline constexpr char kConfirmClear[] = "Tímto smažete své výsledky!!!\nThis will erase yours results!!!";
inline constexpr char kConfirmClearCaption[] = "Potvrzení";

inline constexpr char kNoTilesetChange[] = "Nelze změnit tileset.\nNejdříve ukončete rozehranou hru.";
inline constexpr char kNoTilesetChangeCaption[] = "Nepovolená změna hry";

inline constexpr char kGameOver[] = "Hra pro tebe konci, sraci...";
inline constexpr char kGameOverCaption[] = "GAME OVER";

inline constexpr char kEmptyName[] = " ";

}  // namespace text
