// A program for the single-instance test: it waits for a byte on its input,
// writes "1" when a previous instance runs and "0" otherwise, then stays
// alive until its input closes, so that every probe checks while the others run.
#include "platform/system/process.h"

#include <unistd.h>

int main() {
    char byte = 0;
    if (read(STDIN_FILENO, &byte, 1) != 1) return 2;
    const char answer = zem::platform::PreviousInstanceRunning() ? '1' : '0';
    if (write(STDOUT_FILENO, &answer, 1) != 1) return 2;
    while (read(STDIN_FILENO, &byte, 1) > 0) {
    }
    return 0;
}
