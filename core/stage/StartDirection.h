#pragma once
// Facing direction of the player at the start of a special stage. The values
// are stored in S3S files and returned by the codec library, whose interface
// takes this header from the core (the core never includes the codec's).
enum S3S_StartDirection : short {
    S3S_Up = 1,
    S3S_Down = 2,
    S3S_Left = 3,
    S3S_Right = 4,
};
