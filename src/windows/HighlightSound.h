#pragma once
#include <QByteArray>

// The short tick played when the wheel's highlight moves to another slice.
namespace HighlightSound {
// Plays the next sound of a small pool, so that quick moves overlap instead of cutting each
// other off. Silent when the sound cannot be made or played here.
void play();
// The tick as a WAVE file: 40 ms of a softly ending 1.6 kHz tone, 16-bit mono.
QByteArray wave();
}
