#pragma once

#include "lighting/color.h"

// Reflective properties of a surface, as the lighting equations combine them.
class Material {
public:
    Color emission{0.0f, 0.0f, 0.0f, 1.0f};
    Color ambient{0.2f, 0.2f, 0.2f, 1.0f};
    Color diffuse{0.7f, 0.7f, 0.7f, 1.0f};
    Color specular{1.0f, 1.0f, 1.0f, 1.0f};
    float shininess = 2.0f;

    Material() = default;
    Material(Color ambient, Color diffuse, Color specular, float shininess)
        : ambient(ambient), diffuse(diffuse), specular(specular), shininess(shininess)
    {
    }
    Material(const Material&) = default;
    Material& operator=(const Material&) = default;
    virtual ~Material() = default;

    Color GetEmission() const { return emission; }
    Color GetAmbient() const { return ambient; }
    Color GetDiffuse() const { return diffuse; }
    Color GetSpecular() const { return specular; }
};
