#include "app/session_texts.h"

#include "app/error_text.h"
#include "motion/motion_texts.h"

namespace varnex {

std::string SessionNoteText(const SESSION_NOTE& note, const CTextCatalog& texts) {
    switch (note.kind) {
    case SESSION_NOTE_KIND::OVER_COMPILER_LIMIT:
        return NoteOverCompilerLimit(note.file, note.count, texts);
    case SESSION_NOTE_KIND::BEYOND_NODES:
        return NoteBeyondNodes(note.file, note.rows, texts);
    case SESSION_NOTE_KIND::ROWS_LEFT_OUT:
        return NoteRowsLeftOut(note.file, note.count, note.gridRows, texts);
    case SESSION_NOTE_KIND::UNUSED_NODES:
        return NoteUnusedNodes(note.file, note.names, texts);
    case SESSION_NOTE_KIND::WARNING:
        break;
    }
    return WarningNote(note.file, note.warning, texts);
}

}  // namespace varnex
