#include "sim/game.h"

#include <cstring>

#include "ai/computer_player.h"
#include "graphics/scene.h"
#include "input/key_buffer.h"
#include "input/mouse_state.h"
#include "platform/audio_system.h"

Game::Game()
    : scene(&Scene::instance()),
      mouse(&MouseState::instance()),
      keyboard(&KeyBuffer::instance()),
      mainLight(new PointLight()),
      selectionLight(new SpotLight()),
      playerModelsLow(new ModelInstance[12]),
      playerModelsHigh(new ModelInstance[12]),
      rinkModel(new ModelInstance()),
      goalModels(new ModelInstance[2]),
      menuPictures(new Sprite[16]),
      pointerSprite(new Sprite()),
      optionMarkers(new Sprite[5]),
      glyphSprites(new Sprite[25]),
      scoreSprites(new Sprite[5]),
      computerBadges(new Sprite[3]),
      slide(new int[12]()),
      angle(new int[12]()),
      targetSlide(new int[12]()),
      targetAngle(new int[12]()),
      slideDelta(new int[12]()),
      angleDelta(new int[12]()),
      puckModel(new ModelInstance()) {
    std::strcpy(peerAddress, "127.000.000.001");
    for (float& c : sampleCooldown) c = 3.0f;
}

Game::~Game() {
    delete[] playerModelsLow;
    delete[] playerModelsHigh;
    delete[] slide;
    delete[] angle;
    delete[] targetSlide;
    delete[] targetAngle;
    delete[] slideDelta;
    delete[] angleDelta;
    delete mainLight;
    delete selectionLight;
    delete puckModel;
    delete rinkModel;
    delete[] goalModels;
    delete[] menuPictures;
    delete[] optionMarkers;
    delete pointerSprite;
    delete[] glyphSprites;
    delete[] scoreSprites;
    delete[] computerBadges;
    delete practiceComputer;
    // Last: stopping the audio library frees every sample and the stream.
    audioSystem().stop();
    audioSystem().free();
}
