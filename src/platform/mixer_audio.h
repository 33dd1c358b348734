#pragma once
#include "platform/audio_system.h"

// The SDL2_mixer audio system. The program installs it with installAudioSystem.
AudioSystem* createMixerAudioSystem();
