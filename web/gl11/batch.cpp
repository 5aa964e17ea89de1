#include "web/gl11/batch.h"

namespace gl11 {

bool BatchKey::operator==(const BatchKey& o) const {
    return viewport[0] == o.viewport[0] && viewport[1] == o.viewport[1] &&
           viewport[2] == o.viewport[2] && viewport[3] == o.viewport[3] &&
           projectionVersion == o.projectionVersion && scissorTest == o.scissorTest &&
           (!scissorTest || (scissor[0] == o.scissor[0] && scissor[1] == o.scissor[1] &&
                             scissor[2] == o.scissor[2] && scissor[3] == o.scissor[3])) &&
           depthTest == o.depthTest && polygonOffset == o.polygonOffset &&
           offsetFactor == o.offsetFactor && offsetUnits == o.offsetUnits &&
           texturing == o.texturing && texture == o.texture && lighting == o.lighting &&
           lightsVersion == o.lightsVersion && blend == o.blend && blendSource == o.blendSource &&
           blendDestination == o.blendDestination;
}

void Batch::Reset() {
    materialCount = 0;
    vertices.clear();
    indices.clear();
}

int Batch::SlotFor(const Material& material) {
    for (int i = 0; i < materialCount; ++i) {
        if (materials[i] == material) {
            return i;
        }
    }
    if (materialCount == kMaterialSlots) {
        return -1;
    }
    materials[materialCount] = material;
    return materialCount++;
}

} // namespace gl11
