// MessageBoxA on POSIX.
//
// When standard input and standard error are terminals, somebody is there
// to dismiss a box: it is drawn on the terminal (caption in its top edge,
// the text, an OK button) and the call waits for Enter or end of input.
// Otherwise nobody can dismiss it, so the one line "caption: text" goes to
// standard error and the call returns at once.
#include "win32.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <unistd.h>

namespace {

constexpr size_t text_width = 68; // the longest line of text inside the box

void put_repeated(char c, size_t count)
{
    for (size_t i = 0; i < count; ++i)
        fputc(c, stderr);
}

// One row of the box: a border, text_length characters of text padded to
// inner width, a border.
void put_row(const char *text, size_t text_length, size_t inner, size_t indent)
{
    fputs("  |", stderr);
    put_repeated(' ', indent);
    fwrite(text, 1, text_length, stderr);
    put_repeated(' ', inner - indent - text_length);
    fputs("|\n", stderr);
}

// The length of the next line of text at most text_width long, breaking at
// a line feed or, failing that, at the last space that keeps it short.
size_t next_line(const char *text, size_t *skip)
{
    size_t length = strcspn(text, "\n");
    *skip = text[length] == '\n' ? 1 : 0;
    if (length <= text_width)
        return length;
    *skip = 0;
    for (size_t cut = text_width; cut > 0; --cut) {
        if (text[cut] == ' ') {
            *skip = 1;
            return cut;
        }
    }
    return text_width;
}

void draw_box(const char *text, const char *caption, bool warning)
{
    const char *mark = warning ? "(!) " : "";
    size_t inner = strlen(caption) + 8;
    for (const char *line = text; *line != '\0';) {
        size_t skip, length = next_line(line, &skip);
        if (length + strlen(mark) + 6 > inner)
            inner = length + strlen(mark) + 6;
        line += length + skip;
    }
    if (inner < 16)
        inner = 16;

    fputs("\n  +- ", stderr);
    fputs(caption, stderr);
    fputc(' ', stderr);
    put_repeated('-', inner - strlen(caption) - 3);
    fputs("+\n", stderr);
    put_row("", 0, inner, 0);
    bool first = true;
    for (const char *line = text; *line != '\0' || first;) {
        size_t skip, length = next_line(line, &skip);
        char row[text_width + 8];
        snprintf(row, sizeof row, "%s%.*s", first ? mark : (warning ? "    " : ""), static_cast<int>(length), line);
        put_row(row, strlen(row), inner, 3);
        line += length + skip;
        first = false;
    }
    put_row("", 0, inner, 0);
    const char *button = "[ OK ]";
    size_t indent = (inner - strlen(button)) / 2;
    fputs("  |", stderr);
    put_repeated(' ', indent);
    fputs("\033[7m", stderr); // the focused button, in reverse video
    fputs(button, stderr);
    fputs("\033[0m", stderr);
    put_repeated(' ', inner - indent - strlen(button));
    fputs("|\n  +", stderr);
    put_repeated('-', inner);
    fputs("+\n  Press Enter to continue. ", stderr);
    fflush(stderr);
}

void wait_for_enter()
{
    for (;;) {
        char c;
        ssize_t got = read(STDIN_FILENO, &c, 1);
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0 || c == '\n' || c == '\r')
            return;
    }
}

} // namespace

int WINAPI MessageBoxA(HWND, LPCSTR text, LPCSTR caption, UINT style)
{
    if (text == nullptr)
        text = "";
    if (caption == nullptr)
        caption = "Error";
    bool warning = (style & 0xF0u) == MB_ICONWARNING;
    if (isatty(STDIN_FILENO) && isatty(STDERR_FILENO)) {
        draw_box(text, caption, warning);
        wait_for_enter();
        fputc('\n', stderr);
        fflush(stderr);
    } else {
        fprintf(stderr, "%s: %s\n", caption, text);
        fflush(stderr);
    }
    return IDOK;
}
