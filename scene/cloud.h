// A glowing patch high above the city that drifts along +x and jumps back when far enough out.
#pragma once

class Cloud {
  public:
    Cloud();
    ~Cloud() {}

    // Drifts by `speed`; beyond twice the world's half-extent it reappears on the far side.
    void CalcCloud();
    void DrawCloud();

    float x = 0.0f;
    float y = 0.0f;
    float z = 0.0f; // the quad lies at z + 500
    float scaleX = 0.0f;
    float scaleY = 0.0f;
    float speed = 0.0f; // distance per frame
};
