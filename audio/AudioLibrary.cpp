#include "audio/AudioLibrary.h"

#include <cassert>

namespace {
AudioLibrary* current = nullptr;
}

AudioLibrary& Bass() {
  assert(current != nullptr);
  return *current;
}

AudioLibrary* SetBass(AudioLibrary* library) {
  AudioLibrary* previous = current;
  current = library;
  return previous;
}
