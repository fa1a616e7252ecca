// Stands for a builder header.
#pragma once
