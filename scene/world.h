// Data shared by the scene's classes: the world's dimensions, the cube tables every box is drawn
// from, the textured quad of the ground tiles and clouds, the light scratch vector and the degree
// tables used by the glow texture.
#pragma once

extern const float worldsize; // half-extent of the square world
extern const float blocksize; // edge of one block of the city grid

constexpr int texo = 128; // edge of the glow texture in pixels
constexpr int maxd = 360; // angle steps of the degree tables

// Cube of edge 50 around the origin: 8 corners, 6 quads of corner indices, one normal per corner.
extern const float cc_points[8 * 3];
extern const unsigned int cc_faces[6 * 4];
extern const float cc_normals[8 * 3];

// Cube of edge 100 in the interleaved layout GL_T2F_N3F_V3F; only its first face is drawn.
extern const float g_cubeVertices[24 * 8];

// Scratch vector for handing light parameters to glLightfv; filled before every use.
extern float lposition[4];

// cos and sin of whole degrees, with pi taken as 3.14159265. Zero until first filled.
extern float cosd[maxd];
extern float sind[maxd];

void FillDegreeTables();
