#include "core/platform/volumes.h"

#include <gtest/gtest.h>

namespace harpoly {

// A desktop with a second disk, a USB stick whose label has a blank, a DVD, a
// network share and an sshfs mount, plus the usual kernel and container mounts.
constexpr const char* sampleMounts =
    "proc /proc proc rw,nosuid,nodev,noexec,relatime 0 0\n"
    "sysfs /sys sysfs rw,nosuid,nodev,noexec,relatime 0 0\n"
    "udev /dev devtmpfs rw,nosuid,relatime 0 0\n"
    "devpts /dev/pts devpts rw,nosuid,noexec,relatime 0 0\n"
    "tmpfs /run tmpfs rw,nosuid,nodev,noexec,relatime 0 0\n"
    "/dev/nvme0n1p2 / ext4 rw,relatime,errors=remount-ro 0 0\n"
    "cgroup2 /sys/fs/cgroup cgroup2 rw,nosuid,nodev,noexec,relatime 0 0\n"
    "cgroup /sys/fs/cgroup/cpu cgroup rw,relatime,cpu 0 0\n"
    "/dev/nvme0n1p1 /boot/efi vfat rw,relatime 0 0\n"
    "/dev/sda1 /home ext4 rw,relatime 0 0\n"
    "tmpfs /run/user/1000 tmpfs rw,nosuid,nodev,relatime 0 0\n"
    "/dev/sdb1 /media/user/USB\\040STICK vfat rw,nosuid,nodev,relatime 0 0\n"
    "/dev/sr0 /media/user/DVD iso9660 ro,nosuid,nodev,relatime 0 0\n"
    "/dev/loop3 /snap/core22/1380 squashfs ro,nodev,relatime 0 0\n"
    "server:/export /net/share nfs4 rw,relatime 0 0\n"
    "//nas/photos /mnt/nas cifs rw,relatime 0 0\n"
    "user@host:/ /home/user/remote fuse.sshfs rw,nosuid,nodev,relatime 0 0\n"
    "overlay /var/lib/docker/overlay2/abc/merged overlay rw,relatime 0 0\n"
    "gvfsd-fuse /run/user/1000/gvfs fuse.gvfsd-fuse rw,nosuid,nodev,relatime 0 0\n"
    "/dev/sda1 /home ext4 rw,relatime 0 0\n"
    "tmpfs /tmp tmpfs rw,nosuid,nodev 0 0\n";

TEST(Volumes, SampleMountTableListsRootThenRealFileSystemsInOrder) {
    const std::vector<std::string> expected = {
        "/",
        "/boot/efi",
        "/home",
        "/home/user/remote",
        "/media/user/DVD",
        "/media/user/USB STICK",
        "/mnt/nas",
        "/net/share",
    };
    EXPECT_EQ(driveMountPoints(parseMountTable(sampleMounts)), expected);
}

TEST(Volumes, RootComesFirstEvenInAContainerOrWhenMissing) {
    // The table alone cannot tell a file bind-mounted from the host (/etc/hosts);
    // SystemVolumes drops mount points that are not folders.
    EXPECT_EQ(driveMountPoints(parseMountTable("overlay / overlay rw 0 0\n"
                                               "/dev/vda /work ext4 rw 0 0\n"
                                               "/dev/vda /etc/hosts ext4 rw 0 0\n")),
              (std::vector<std::string>{"/", "/etc/hosts", "/work"}));
    EXPECT_EQ(driveMountPoints(parseMountTable("")), std::vector<std::string>{"/"});
}

TEST(Volumes, MountTableFieldsDecodeOctalEscapes) {
    const auto table = parseMountTable("/dev/sdc1 /mnt/a\\040b\\011c\\134d\\012e ext4 rw 0 0\n"
                                       "short line\n"
                                       "/dev/sdd1   /mnt/trail\\04   xfs rw 0 0");
    ASSERT_EQ(table.size(), 2u);
    EXPECT_EQ(table[0].mountPoint, "/mnt/a b\tc\\d\ne");
    EXPECT_EQ(table[1].mountPoint, "/mnt/trail\\04"); // an incomplete escape stays as written
    EXPECT_EQ(table[1].type, "xfs");
}

TEST(Volumes, TheVolumeOfAPathIsTheLongestMountPointAboveIt) {
    const std::vector<std::string> volumes = {"/", "/home", "/mnt/usb", "/mnt/usb/inner"};
    const std::pair<const char*, const char*> cases[] = {
        {"/home/u/photos/", "/home"},
        {"/home", "/home"},
        {"/homework/x", "/"},
        {"/mnt/usb/a/b", "/mnt/usb"},
        {"/mnt/usb/inner/x/", "/mnt/usb/inner"},
        {"/mnt/usb/../../home/x", "/home"},
        {"/", "/"},
        {"/etc//passwd", "/"},
    };
    for (const auto& [path, volume] : cases) {
        EXPECT_EQ(volumeOf(path, volumes), volume) << path;
    }
}

TEST(Volumes, ComponentsBelowAVolume) {
    using V = std::vector<std::string>;
    EXPECT_EQ(componentsBelow("/mnt/usb/work/out/", "/mnt/usb"), (V{"work", "out"}));
    EXPECT_EQ(componentsBelow("/home/u/./x//y/", "/"), (V{"home", "u", "x", "y"}));
    EXPECT_EQ(componentsBelow("/mnt/usb/", "/mnt/usb"), V{});
    EXPECT_EQ(componentsBelow("/mnt/usbx/a", "/mnt/usb"), V{});
}

TEST(Volumes, CurrentFolderIsRememberedPerVolume) {
    VolumeFolders folders;
    EXPECT_EQ(folders.currentOf("/mnt/usb"), "/mnt/usb");
    EXPECT_EQ(folders.processFolder(), "");
    folders.setCurrent("/mnt/usb", "/mnt/usb/a");
    folders.setCurrent("/", "/home/u");
    EXPECT_EQ(folders.currentOf("/mnt/usb"), "/mnt/usb/a");
    EXPECT_EQ(folders.currentOf("/"), "/home/u");
    EXPECT_EQ(folders.processFolder(), "/home/u");
}

TEST(Volumes, AMountPointThatCannotBeReadHasNoMedium) {
    EXPECT_TRUE(isFolderReadable("/"));
    EXPECT_FALSE(isFolderReadable("/nonexistent-harpoly-volume"));
    EXPECT_FALSE(isFolderReadable("/proc/self/mounts")); // a file, not a folder
}

} // namespace harpoly
