// ProjectilePool.h -- the program-wide store of projectiles: shots are
// recycled rather than allocated one by one. The pool owns every projectile
// it has made, idle or in flight, outlives rooms, and is emptied when a
// level scene unloads (after its rooms are gone: rooms hold projectiles in
// their lists but never delete them).
#pragma once

#include <cstddef>
#include <memory>
#include <vector>

class Projectile;

class ProjectilePool {
public:
    // The last idle projectile, or a new one when none is idle; reset.
    static Projectile* Acquire();
    // Makes a projectile idle again; it keeps its textures and sounds.
    // Giving back one that is already idle changes nothing.
    static void Release(Projectile* projectile);
    // Deletes every projectile the pool has made, idle or in flight.
    static void Clear();
    // Idle projectiles, and all the pool has made.
    static size_t IdleCount();
    static size_t TotalCount();

private:
    struct Store {
        std::vector<std::unique_ptr<Projectile>> all;
        std::vector<Projectile*> idle;
    };
    static Store& Get();
};
