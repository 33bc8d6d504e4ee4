#pragma once

// Application-wide settings shared by main() and the start-up benchmark, so
// that the benchmark starts the program exactly as users do.
void prepareApplication();
