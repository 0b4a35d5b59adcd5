/* Prints each MSVC-decorated name given on the command line in its
 * undecorated form, one a line, as the system's own undecorator reads it.
 * The export check compares these with the C++ signatures they stand for. */
#include <windows.h>
#include <dbghelp.h>

#include <stdio.h>

int main(int argc, char **argv) {
  int i;
  for (i = 1; i < argc; ++i) {
    char text[1024];
    if (UnDecorateSymbolName(argv[i], text, sizeof text,
                             UNDNAME_NO_MS_KEYWORDS |
                                 UNDNAME_NO_ACCESS_SPECIFIERS) == 0) {
      fprintf(stderr, "cannot undecorate %s\n", argv[i]);
      return 1;
    }
    printf("%s\n", text);
  }
  return 0;
}
