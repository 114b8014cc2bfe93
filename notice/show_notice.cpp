// The notice box: caption from the command line, the caller's floating-point
// state shielded from the windowing call.
#include "fpu_guard.h"
#include "notice.h"
#include "win32.h"

namespace {

void show_box(const char *text, UINT style)
{
    char notice_caption[notice_caption_capacity];
    derive_caption(GetCommandLineA(), notice_caption);
    save_fpu_state();
    MessageBoxA(nullptr, text, notice_caption, style);
    restore_fpu_state();
}

} // namespace

void show_notice(const char *text) { show_box(text, MB_OK); }

void show_warning(const char *text) { show_box(text, MB_OK | MB_ICONWARNING); }
