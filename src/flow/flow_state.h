#pragma once
#include <cstdint>

#include "app/layout.h"

enum Screen : int { Intro = 0, MainMenu = 2, CreateMenu = 3, JoinMenu = 4, OptionsMenu = 5, Match = 10 };
enum MatchMode : int { Create = 1, Join = 2, Practice = 3 };

// The screen machine's memory; kept across matches for the whole run.
struct FlowState {
    int screen = Intro;
    int matchMode = 0;
    uint8_t sessionOpen = 0;
    float introTime = 0.0f;
    uint8_t introButtonWasDown = 1;  // held buttons at start-up must not act
    // The menu pointer starts where this build's layout puts it.
    int pointerX = layout().pointerStartX, pointerY = layout().pointerStartY;
    uint8_t menuButtonWasDown = 1;
    uint8_t addressKeyWasDown = 1, portKeyWasDown = 1;
    int lastGoalSide = 0;
    float goalieStep[2] = {0.0f, 0.0f};
    float clientResendTimer = 0.0f;
    float matchEndCountdown = -1.0f;
    float sideSwitchTimer = -1.0f;
    uint8_t practiceButtonWasDown = 1;
    // What the joining machine's datagrams echo of the scores it has: whether they echo
    // at all (older copies write zeros), and whether one showed the match decided.
    uint8_t peerEchoesScore = 0, peerHasFinalScore = 0;
    float endHeld = 0.0f;  // seconds a decided match stayed on for the joining machine
    // The creating machine took the puck back between two datagrams: the next one was sent
    // before the joining machine could know, and its floats are no strike.
    uint8_t puckTakenUntold = 0;
    // The joining machine's last strike on the creating machine's puck; and, on either
    // machine, the other's puck motion as read from the places received (seconds since the
    // last one). A machine that takes the puck over starts it on that motion, the joining
    // machine adding the strike that handed it over.
    float strikeSent[2] = {0.0f, 0.0f};
    float seenPuckVel[2] = {0.0f, 0.0f};
    float seenPuckAge = 0.0f;
    // The practice computer: C cycles its level (a ComputerLevel, kept from match to match).
    uint8_t computerKeyWasDown = 1;
    int computerLevel = 0;
    uint32_t computerSeed = 1;  // each practice computer gets the next one
};
