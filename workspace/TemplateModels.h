#pragma once
// The template reader and the editor models of the core that the workspace
// frames use, in one place.
#include "template/ByteSource.h"
#include "template/EditorSetups.h"
#include "template/LevelSelectTable.h"
#include "template/PlaylistModel.h"
#include "template/TemplateReader.h"
#include "template/WavSample.h"
