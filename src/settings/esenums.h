#pragma once

// Choice enumerations of the echo-sounder settings that other subsystems act on; the number is the
// position of the choice in the property's list.
enum enum_ScalesDepth { ScalesDepthMeters = 0, ScalesDepthFeet = 1, ScalesDepthFathoms = 2 };
enum enum_ScalesSpeed { ScalesSpeedKnots = 0, ScalesSpeedMetersPerSecond = 1, ScalesSpeedMilesPerHour = 2 };
enum enum_ScalesDistance { ScalesDistanceNauticalMiles = 0, ScalesDistanceKilometers = 1, ScalesDistanceMiles = 2 };
enum enum_LogToDevice { LogToInternal = 0, LogToUsb = 1, LogToSd = 2 };
