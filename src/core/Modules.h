#pragma once

// The engines whose libraries are slow to map (libvips, FFmpeg, Poppler and qpdf, Tesseract
// and OpenCV) are linked into modules of their own, which the program loads the first time
// one of their functions is called: a command that converts a spreadsheet never maps FFmpeg.
// The program's side of each module is generated from it at build time (cmake/module_entries.py);
// the tests link every layer directly.

// Loads module (a file name) once, looks up name in it,
// stores it in slot and returns it. A module that cannot be loaded is a broken installation:
// the process reports it and stops.
extern "C" void* varnoltModuleEntry(const char* module, const char* name, void** slot) noexcept;
