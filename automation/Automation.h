#pragma once

// The sweep program and the presets are handlers of the window (TForm1, ui/Form1.h), kept in a
// folder of their own: Sweep.cpp and Presets.cpp define TForm1 methods, and the folder builds into
// the window's library. These are their program-wide values.

#include <QString>
#include <cstdint>

// Sweep program: distance the frequency bar moves per tick, 1 to 65536 Hz.
extern int32_t SweepStep;

// Presets: whether one runs, the swing's direction, turning positions and step.
extern bool PresetActive;
extern bool PresetRising;
extern int32_t PresetLow;
extern int32_t PresetHigh;
extern int32_t PresetStep;

// True when `text` is not empty and holds only the digits 0 to 9.
bool IsDigits(const QString& text);
