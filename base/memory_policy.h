#pragma once

// Makes every allocation of 1 MiB or more come straight from the system and
// go back to it when freed. The allocator otherwise raises that limit after
// the first such block is freed and then serves the lists that a large scene
// grows while it is read from its heap, where the copies they leave behind
// stay as holes: some 17 bytes a patch at a million patches. Called at the
// start of the programs (and of the benchmarks that measure them).
void returnLargeBlocksToTheSystem();
