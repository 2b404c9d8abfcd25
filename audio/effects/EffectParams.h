#pragma once

#include <cstddef>
#include <cstdint>

// Parameter records handed to the effects add-on by address. Little-endian, 32-bit fields, no
// padding; the field order is the record's binary layout, not the order shown on screen.

struct FlangerRecord {
  float Delay;   // milliseconds, 1.1 to 3.1
  int32_t Rate;  // fixed 44100 (an integer, not a float)
  float BPM;     // LFO rate in beats per minute, 1 to 2000
  float WetDry;  // 0 (dry only) to 10 (equal mix)
};

struct EchoRecord {
  float DryMix;  // relative weight, 0 to 10
  float WetMix;  // relative weight, 0 to 10
  float Delay;   // milliseconds, 1 to 1000
};

struct AutoWahRecord {
  float DryMix;   // -2 to 2
  float WetMix;   // fixed 1.0
  float FidBack;  // resonance/feedback, -1 to 1
  float Rate;     // sweep rate in Hz, fixed 9.0
  float Range;    // sweep range in octaves, fixed 9.0
  float Freq;     // base frequency in Hz, fixed 1000.0
};

static_assert(sizeof(float) == 4);
static_assert(sizeof(FlangerRecord) == 16);
static_assert(offsetof(FlangerRecord, Delay) == 0 && offsetof(FlangerRecord, Rate) == 4 &&
              offsetof(FlangerRecord, BPM) == 8 && offsetof(FlangerRecord, WetDry) == 12);
static_assert(sizeof(EchoRecord) == 12);
static_assert(offsetof(EchoRecord, DryMix) == 0 && offsetof(EchoRecord, WetMix) == 4 &&
              offsetof(EchoRecord, Delay) == 8);
static_assert(sizeof(AutoWahRecord) == 24);
static_assert(offsetof(AutoWahRecord, DryMix) == 0 && offsetof(AutoWahRecord, WetMix) == 4 &&
              offsetof(AutoWahRecord, FidBack) == 8 && offsetof(AutoWahRecord, Rate) == 12 &&
              offsetof(AutoWahRecord, Range) == 16 && offsetof(AutoWahRecord, Freq) == 20);
