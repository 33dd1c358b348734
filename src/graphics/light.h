#pragma once
#include "platform/render_types.h"

class Light {
public:
    Light() { params.type = 0; }
    virtual ~Light() = default;

    void setColour(float r, float g, float b, float a);  // diffuse and specular
    void setPosition(float x, float y, float z);
    void setRange(float range);
    void setAttenuation(float linear, float quadratic);  // constant factor 0
    void setDirection(float x, float y, float z);
    void setCone(float theta, float phi);
    void setSortKey(float key) { sortKey = key; }

    LightParams params;
    float sortKey = 0;
};

class PointLight : public Light {
public:
    PointLight() { params.type = lt::Point; }
};

class SpotLight : public Light {
public:
    SpotLight() { params.type = lt::Spot; }
};
