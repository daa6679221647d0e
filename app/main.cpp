// The program: everything it does starts in RunLuvora.
#include "app/Luvora.h"

int main() {
    return RunLuvora();
}
