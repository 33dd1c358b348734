#pragma once
#include "platform/audio_system.h"

// The SDL2_mixer audio system. The program installs it with installAudioSystem.
AudioSystem* createMixerAudioSystem();

// A 0..100 volume on the mixer's 0..128 scale; values outside 0..100 saturate.
int mixerVolume(int volume);
