// The one draw every box of the city shares: the cube's six quads from a corner array, lit with
// the per-corner normals of cc_normals.
#pragma once

// Draws the 8 corners (x, y, z each) as the quads of cc_faces, with client-side vertex and normal
// arrays that are switched on for the draw and off again.
void DrawCubeCorners(const float* corners);
