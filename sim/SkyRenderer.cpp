#include "SkyRenderer.h"

SkyRenderer::SkyRenderer(const StarCatalog& starCatalog)
    : catalog(starCatalog)
{
}
