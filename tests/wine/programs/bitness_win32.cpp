// Exits with the size of a pointer: 4 when it ran as a 32-bit program.
// scripts/test runs the win32 build first to learn whether this machine's
// Wine runs 32-bit programs at all.
int main() {
  return int(sizeof(void *));
}
