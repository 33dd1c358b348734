#pragma once
// A Game driven frame by frame with scripted keys and mouse, without a window or loaded assets.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "input/key_buffer.h"
#include "input/mouse_state.h"
#include "platform/fake/recording_audio.h"
#include "platform/udp_link.h"
#include "sim/game.h"

class FlowTest : public ::testing::Test {
protected:
    FlowTest() {
        std::memset(keys.bytes, 0, sizeof keys.bytes);
        mouse.deltaX = mouse.deltaY = 0;
        mouse.leftButton = mouse.rightButton = 0;
        game.link = &link;
        game.setFaceOffPoses();
        // Sample handles 100..105, so a play names its sample.
        game.soundOn = 1;
        game.musicOn = 1;
        for (int i = 0; i < 6; ++i) game.samples[i] = 100 + i;
        game.musicStream = 77;
        hideAsAfterLoading();
    }

    // After loading only the splash picture and the puck are visible.
    void hideAsAfterLoading() {
        for (int i = 0; i < 12; ++i) game.playerModelsLow[i].visible = game.playerModelsHigh[i].visible = false;
        game.rinkModel->visible = game.goalModels[0].visible = game.goalModels[1].visible = false;
        for (int i = 1; i < 16; ++i) game.menuPictures[i].visible = false;
        game.pointerSprite->visible = false;
        for (int i = 0; i < 5; ++i) game.optionMarkers[i].visible = game.scoreSprites[i].visible = false;
        for (int i = 0; i < 25; ++i) game.glyphSprites[i].visible = false;
    }

    static int digitKey(int d) { return d == 0 ? key::Digit0 : key::Digit1 + d - 1; }
    void hold(int code) { keys.bytes[code] = 0x80; }
    void release(int code) { keys.bytes[code] = 0; }

    bool frame(float dt = 0.02f) {
        const bool go = game.update(dt);
        mouse.deltaX = mouse.deltaY = 0;
        return go;
    }

    // A fresh press of the left button with the pointer at (x, y), then its release.
    bool clickAt(int x, int y) {
        game.flow.pointerX = x;
        game.flow.pointerY = y;
        mouse.leftButton = 1;
        const bool go = frame();
        mouse.leftButton = 0;
        if (go && game.flow.screen != Match) frame();
        return go;
    }

    // One digit key down for a frame, then up for a frame.
    void typeDigit(int d) {
        hold(digitKey(d));
        frame();
        release(digitKey(d));
        frame();
    }

    void goToMainMenu() {
        game.flow.screen = MainMenu;
        game.flow.menuButtonWasDown = 0;
        game.flow.portKeyWasDown = game.flow.addressKeyWasDown = 0;
    }

    int samplePlays(int sample) {
        int n = 0;
        for (const std::string& c : audio->calls)
            if (c == "samplePlay(" + std::to_string(100 + sample) + ")") ++n;
        return n;
    }

    KeyBuffer& keys = KeyBuffer::instance();
    MouseState& mouse = MouseState::instance();
    ScopedRecordingAudio audio;
    UdpLink link;
    Game game;
};
