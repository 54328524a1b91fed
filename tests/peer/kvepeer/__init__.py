"""An independent junction-box peer for end-to-end tests of the KVE420 control unit."""
from .box import BLOCK_ID_MODES, JunctionBox
from .station import ADMIN_GROUP, BINARY_GROUP, Listener, Station, nmea_group, private_network

__all__ = ["JunctionBox", "Listener", "Station", "BLOCK_ID_MODES", "ADMIN_GROUP", "BINARY_GROUP",
           "nmea_group", "private_network"]
