// FAssetPackageData: what an asset registry knows of one package. Nothing of it is read here; a registry answers
// whether it has a package by whether it has its package data.
#pragma once

#include "CoreTypes.h"

class FAssetPackageData
{
};
