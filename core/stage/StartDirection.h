#pragma once
// Facing direction of the player at the start of a special stage, as S3S
// files store it. The codec plug-in's interface publishes its own type with
// the same values (ostrel::S3S_StartDirection); neither includes the other.
enum S3S_StartDirection : short {
    S3S_Up = 1,
    S3S_Down = 2,
    S3S_Left = 3,
    S3S_Right = 4,
};
