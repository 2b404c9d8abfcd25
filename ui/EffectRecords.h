#pragma once

#include "audio/effects/EffectParams.h"

// The three parameter records, in static storage one after another (52 bytes), written only by
// the parameter refresh and handed to the effects add-on by address.
struct EffectRecordBlock {
  FlangerRecord Flanger;
  EchoRecord Echo;
  AutoWahRecord AutoWah;
};
static_assert(sizeof(EffectRecordBlock) == 52);
static_assert(offsetof(EffectRecordBlock, Echo) == 16 &&
              offsetof(EffectRecordBlock, AutoWah) == 28);

extern EffectRecordBlock EffectRecords;
inline FlangerRecord& FlangerParams = EffectRecords.Flanger;
inline EchoRecord& EchoParams = EffectRecords.Echo;
inline AutoWahRecord& AutoWahParams = EffectRecords.AutoWah;
