#include "permissions.h"

#include "linux/permissions_linux.h"

Permissions::~Permissions() = default;

Permissions &Permissions::system()
{
    static LinuxPermissions permissions;
    return permissions;
}
