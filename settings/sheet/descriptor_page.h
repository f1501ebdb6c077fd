// The Descriptor page: the five label lists, edited in a list box.
#pragma once
