// The program allocates through jemalloc, which reads its settings from this symbol before
// main runs.
// - Huge pages: a photo's pixels, an encoder's picture and a large table are tens of megabytes
//   each, touched once and freed. In 4 KiB pages every one of them costs thousands of page
//   faults, which took a fifth of a photo batch's time and a quarter of a workbook's.
// - An arena per processor: the threads of a batch hand buffers to each other, and the memory
//   one file frees is reused by the next instead of faulted in afresh.
extern "C" {
extern const char* malloc_conf;
const char* malloc_conf = "thp:always,metadata_thp:auto,percpu_arena:percpu";
}
